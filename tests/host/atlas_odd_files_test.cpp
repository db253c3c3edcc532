// TEX.tga that is not a regular file behaves as on Windows, where it cannot
// be opened: no image, the backdrop untextured.
#include <GL/gl.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "host/atlas.h"
#include "tests/host/gl_surface.h"
#include "tests/support/temp_folder.h"

namespace {

class HostAtlasOddFile : public GlSurfaceTest {
 protected:
  TempWorkingDirectory folder;

  // What a missing file leaves: the texture bound, linear filtering, no level 0.
  void ExpectNoImage() {
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), atlasTexture);
    GLint minFilter = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
    EXPECT_EQ(minFilter, GL_LINEAR);
    GLint width = -1;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    EXPECT_EQ(width, 0);
  }
};

TEST_F(HostAtlasOddFile, AFolderNamedLikeTheAtlasGivesNoImage) {
  ASSERT_EQ(mkdir("TEX.tga", 0700), 0);
  LoadTextureAtlas();
  ExpectNoImage();
}

TEST_F(HostAtlasOddFile, AFifoWithoutWriterGivesNoImageWithoutWaiting) {
  ASSERT_EQ(mkfifo("TEX.tga", 0600), 0);
  // A loader that waits for a writer would hang the suite; instead, after a
  // grace period, a writer comes and goes, which releases it and is recorded.
  std::mutex mutex;
  std::condition_variable loaded;
  bool done = false;
  bool writerNeeded = false;
  std::thread watchdog([&] {
    std::unique_lock<std::mutex> lock(mutex);
    if (loaded.wait_for(lock, std::chrono::seconds(5), [&] { return done; })) return;
    writerNeeded = true;
    const int fd = open("TEX.tga", O_WRONLY);
    if (fd >= 0) close(fd);
  });
  LoadTextureAtlas();
  {
    std::lock_guard<std::mutex> lock(mutex);
    done = true;
  }
  loaded.notify_one();
  watchdog.join();
  EXPECT_FALSE(writerNeeded) << "the atlas loader waited for the FIFO's writer";
  ExpectNoImage();
}

}  // namespace
