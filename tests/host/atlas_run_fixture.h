#pragma once

#include "host/atlas.h"
#include "host/headless_run.h"
#include "tests/host/gl_surface.h"
#include "tests/host/synthetic_atlas.h"
#include "tests/support/temp_folder.h"

// A headless run on its own surface, in a temporary folder holding the
// synthetic atlas as TEX.tga.
class AtlasRunTest : public GlSurfaceTest {
 protected:
  TempWorkingDirectory folder;

  void SetUp() override {
    GlSurfaceTest::SetUp();
    ASSERT_TRUE(WriteFileBytes("TEX.tga", SyntheticAtlasFile()));
    StartHeadlessRun(60);
    LoadTextureAtlas();
  }
};
