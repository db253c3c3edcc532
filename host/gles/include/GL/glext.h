#pragma once

// The two OpenGL 1.2 enumerants the atlas loader takes from glext.h.

#define GL_BGRA 0x80E1
#define GL_CLAMP_TO_EDGE 0x812F
