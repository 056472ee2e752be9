// Start-up refuses a context that lacks an OpenGL feature the program calls,
// naming the feature, before the scene could call a missing entry point.
#include <gtest/gtest.h>

#include "shell/shell.h"
#include "startupRecorder.h"

using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;

namespace {

struct MissingFeature {
    const char *name;
    void (*takeAway)();
    const char *message; // empty: start-up still succeeds
};

std::ostream &operator<<(std::ostream &out, const MissingFeature &feature) {
    return out << feature.name;
}

} // namespace

class FeatureCheck : public testing::TestWithParam<MissingFeature> {};

TEST_P(FeatureCheck, EndsStartUpNamingTheMissingFeature) {
    const MissingFeature &feature = GetParam();
    recorder::afterGlewInit = feature.takeAway;
    recorder::framesBeforeClose = 1;

    CaptureStderr();
    int status = recorder::runWinMain();
    std::string errors = GetCapturedStderr();

    if (*feature.message) {
        EXPECT_EQ(status, 1);
        EXPECT_EQ(errors,
                  std::string("Korvane: the OpenGL driver lacks ") + feature.message + "\n");
        EXPECT_EQ(recorder::count("initScene"), 0);
        EXPECT_EQ(recorder::count("render"), 0);
    } else {
        EXPECT_EQ(status, 0);
        EXPECT_EQ(errors, "");
        EXPECT_EQ(recorder::count("initScene"), 1);
    }
}

INSTANTIATE_TEST_SUITE_P(
    EachFeature, FeatureCheck,
    testing::Values(
        MissingFeature{"nothing", [] {}, ""},
        MissingFeature{"ShaderObjectsExtension", [] { __GLEW_ARB_shader_objects = GL_FALSE; },
                       "shader objects (GL_ARB_shader_objects)"},
        MissingFeature{"ShaderObjectsEntryPoint", [] { __glewLinkProgramARB = nullptr; },
                       "shader objects (GL_ARB_shader_objects)"},
        MissingFeature{"FramebufferObjects", [] { __GLEW_EXT_framebuffer_object = GL_FALSE; },
                       "framebuffer objects (GL_EXT_framebuffer_object)"},
        MissingFeature{"FramebufferEntryPoint", [] { __glewCheckFramebufferStatusEXT = nullptr; },
                       "framebuffer objects (GL_EXT_framebuffer_object)"},
        MissingFeature{"FramebufferTexture2D", [] { __glewFramebufferTexture2D = nullptr; },
                       "glFramebufferTexture2D (OpenGL 3.0 or GL_ARB_framebuffer_object)"},
        MissingFeature{"DrawBuffers", [] { __glewDrawBuffers = nullptr; },
                       "glDrawBuffers (OpenGL 2.0)"},
        MissingFeature{"UniformMatrix4fv", [] { __glewUniformMatrix4fv = nullptr; },
                       "glUniformMatrix4fv (OpenGL 2.0)"},
        MissingFeature{"ActiveTexture", [] { __glewActiveTextureARB = nullptr; },
                       "multitexturing (glActiveTextureARB)"},
        MissingFeature{"FourTextureUnits", [] { recorder::textureUnits = 3; },
                       "four texture units (it offers 3)"},
        MissingFeature{"EnoughTextureUnits", [] { recorder::textureUnits = 4; }, ""},
        // Either the extension or OpenGL 3.0 gives float textures, either
        // the extension or OpenGL 1.4 depth textures.
        MissingFeature{"FloatTexturesExtensionOnly", [] { __GLEW_ARB_texture_float = GL_FALSE; },
                       ""},
        MissingFeature{"FloatTextures",
                       [] {
                           __GLEW_ARB_texture_float = GL_FALSE;
                           __GLEW_VERSION_3_0 = GL_FALSE;
                       },
                       "floating-point colour textures (GL_ARB_texture_float or OpenGL 3.0)"},
        MissingFeature{"DepthTexturesExtensionOnly", [] { __GLEW_ARB_depth_texture = GL_FALSE; },
                       ""},
        MissingFeature{"DepthTextures",
                       [] {
                           __GLEW_ARB_depth_texture = GL_FALSE;
                           __GLEW_VERSION_1_4 = GL_FALSE;
                       },
                       "depth textures (GL_ARB_depth_texture or OpenGL 1.4)"},
        // Gather is optional: the composite reads texel by texel without it.
        MissingFeature{"TextureGatherIsOptional", [] { __GLEW_ARB_texture_gather = GL_FALSE; }, ""},
        MissingFeature{"ShadingLanguage120", [] { recorder::shadingLanguage = "1.20 Mesa"; },
                       "GLSL 1.30 (it offers 1.20 Mesa)"},
        MissingFeature{"ShadingLanguageNone", [] { recorder::shadingLanguage = ""; },
                       "GLSL 1.30 (it offers none)"},
        MissingFeature{"ShadingLanguage130", [] { recorder::shadingLanguage = "1.30"; }, ""},
        MissingFeature{"ShadingLanguage460", [] { recorder::shadingLanguage = "4.60"; }, ""}),
    [](const testing::TestParamInfo<MissingFeature> &info) {
        return std::string(info.param.name);
    });
