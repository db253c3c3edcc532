#include "gl/gles/gles_layer.h"

#include <cstdio>

#include "gl/gles/draw.h"
#include "gl/gles/es2_api.h"
#include "gl/gles/fixed_function.h"

Es2Api es2;
bool es2Ready = false;
FixedFunctionState fixedFunction;

namespace {

constexpr int kMaxReports = 32;

struct Report {
  const char* what;
  unsigned value;
};
Report reports[kMaxReports];
int reportCount = 0;

char missingMessage[128];

template <typename Proc>
bool Load(GlesProcLoader load, Proc& proc, const char* name, const char** error) {
  proc = reinterpret_cast<Proc>(load(name));
  if (proc != nullptr) return true;
  std::snprintf(missingMessage, sizeof missingMessage, "the GL context has no %s", name);
  *error = missingMessage;
  return false;
}

bool LoadEs2(GlesProcLoader load, const char** error) {
  return Load(load, es2.enable, "glEnable", error) && Load(load, es2.disable, "glDisable", error) &&
         Load(load, es2.depthMask, "glDepthMask", error) &&
         Load(load, es2.blendFunc, "glBlendFunc", error) &&
         Load(load, es2.clear, "glClear", error) &&
         Load(load, es2.clearColor, "glClearColor", error) &&
         Load(load, es2.viewport, "glViewport", error) &&
         Load(load, es2.genTextures, "glGenTextures", error) &&
         Load(load, es2.bindTexture, "glBindTexture", error) &&
         Load(load, es2.texParameterf, "glTexParameterf", error) &&
         Load(load, es2.texParameteri, "glTexParameteri", error) &&
         Load(load, es2.texImage2D, "glTexImage2D", error) &&
         Load(load, es2.createShader, "glCreateShader", error) &&
         Load(load, es2.shaderSource, "glShaderSource", error) &&
         Load(load, es2.compileShader, "glCompileShader", error) &&
         Load(load, es2.getShaderiv, "glGetShaderiv", error) &&
         Load(load, es2.getShaderInfoLog, "glGetShaderInfoLog", error) &&
         Load(load, es2.deleteShader, "glDeleteShader", error) &&
         Load(load, es2.createProgram, "glCreateProgram", error) &&
         Load(load, es2.attachShader, "glAttachShader", error) &&
         Load(load, es2.bindAttribLocation, "glBindAttribLocation", error) &&
         Load(load, es2.linkProgram, "glLinkProgram", error) &&
         Load(load, es2.getProgramiv, "glGetProgramiv", error) &&
         Load(load, es2.getProgramInfoLog, "glGetProgramInfoLog", error) &&
         Load(load, es2.deleteProgram, "glDeleteProgram", error) &&
         Load(load, es2.useProgram, "glUseProgram", error) &&
         Load(load, es2.getUniformLocation, "glGetUniformLocation", error) &&
         Load(load, es2.uniform1i, "glUniform1i", error) &&
         Load(load, es2.uniform3fv, "glUniform3fv", error) &&
         Load(load, es2.uniform4fv, "glUniform4fv", error) &&
         Load(load, es2.uniformMatrix3fv, "glUniformMatrix3fv", error) &&
         Load(load, es2.uniformMatrix4fv, "glUniformMatrix4fv", error) &&
         Load(load, es2.genBuffers, "glGenBuffers", error) &&
         Load(load, es2.bindBuffer, "glBindBuffer", error) &&
         Load(load, es2.bufferData, "glBufferData", error) &&
         Load(load, es2.bufferSubData, "glBufferSubData", error) &&
         Load(load, es2.deleteBuffers, "glDeleteBuffers", error) &&
         Load(load, es2.vertexAttribPointer, "glVertexAttribPointer", error) &&
         Load(load, es2.enableVertexAttribArray, "glEnableVertexAttribArray", error) &&
         Load(load, es2.drawArrays, "glDrawArrays", error);
}

}  // namespace

void ReportUnsupported(const char* what, unsigned value) {
  for (int i = 0; i < reportCount; ++i)
    if (reports[i].what == what && reports[i].value == value) return;
  if (reportCount == kMaxReports) return;
  reports[reportCount++] = {what, value};
  std::fprintf(stderr, "quorvane gles layer: %s 0x%04X is not supported; ignored\n", what, value);
}

bool StartGlesLayer(GlesProcLoader load, const char** error) {
  const char* ignored = nullptr;
  if (error == nullptr) error = &ignored;
  if (es2Ready) {
    *error = "the GLES layer is already started";
    return false;
  }
  if (load == nullptr) {
    *error = "no loader for the GL entry points";
    return false;
  }
  if (!LoadEs2(load, error) || !CreateDrawResources(error)) {
    es2 = Es2Api{};
    return false;
  }
  fixedFunction = FixedFunctionState{};
  ForgetTextureImages();
  es2Ready = true;
  return true;
}

void StopGlesLayer() {
  if (!es2Ready) return;
  DeleteDrawResources();
  es2Ready = false;
  es2 = Es2Api{};
}
