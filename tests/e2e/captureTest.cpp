// korvane-capture run as a user runs it: from a folder holding data/, on a
// private X server, writing its pictures into a folder of its own.
#include "KorvaneTest.h"

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wunused-function"
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#include <stb/stb_image.h>
#pragma GCC diagnostic pop

namespace {

Picture loadPng(const std::filesystem::path &path) {
    Picture picture;
    int channels = 0;
    unsigned char *data =
        stbi_load(path.string().c_str(), &picture.width, &picture.height, &channels, 3);
    if (!data)
        return Picture();
    picture.pixels.resize(static_cast<std::size_t>(picture.width) * picture.height);
    for (std::size_t i = 0; i < picture.pixels.size(); ++i)
        picture.pixels[i] = {data[i * 3], data[i * 3 + 1], data[i * 3 + 2]};
    stbi_image_free(data);
    return picture;
}

// Share of pixels that differ by more than a little between two pictures of
// the same size.
double changedShare(const Picture &a, const Picture &b) {
    if (a.width != b.width || a.height != b.height || a.width == 0)
        return 1.0;
    long changed = 0;
    for (std::size_t i = 0; i < a.pixels.size(); ++i)
        changed += near(a.pixels[i], b.pixels[i], 8) ? 0 : 1;
    return static_cast<double>(changed) / static_cast<double>(a.pixels.size());
}

class CaptureTest : public KorvaneTest {
  protected:
    // Runs the tool with `args` and waits for it; the output folder is
    // `folder`/`name`.
    std::optional<int> capture(const std::string &name, std::vector<std::string> args) {
        args.push_back("--output");
        args.push_back((folder / name).string());
        ChildProcess tool;
        if (!tool.start(KORVANE_CAPTURE_PROGRAM, args, folder.string(),
                        display ? display->name() : std::string(), folder.string()))
            return std::nullopt;
        std::optional<int> status = tool.waitForExit(120s);
        lastError = tool.standardError();
        return status;
    }

    Picture picture(const std::string &name, const char *file) {
        return loadPng(folder / name / file);
    }

    std::string lastError;
};

TEST_F(CaptureTest, SavesBothViewsAndTheFourTextures) {
    startDisplay(false);
    ASSERT_EQ(capture("shots",
                      {"--light", "30", "--lower-sphere", "20,140", "--upper-sphere", "0,200,0"}),
              0)
        << lastError;

    Picture finalImage = picture("shots", "final.png");
    ASSERT_EQ(finalImage.width, 1024);
    ASSERT_EQ(finalImage.height, 768);
    EXPECT_TRUE(looksFinal(finalImage));
    EXPECT_TRUE(looksDebug(picture("shots", "debug.png")));

    // The G-buffer textures are framed as the final image, and where nothing
    // was drawn they show the clear colour.
    for (const char *file :
         {"gbuffer-diffuse.png", "gbuffer-position.png", "gbuffer-normals.png"}) {
        Picture texture = picture("shots", file);
        ASSERT_EQ(texture.width, 1024) << file;
        ASSERT_EQ(texture.height, 768) << file;
        EXPECT_GT(skyOutlineAgreement(texture, {0, 0, 1024, 768}, finalImage, {0, 0, 1024, 768}),
                  0.97)
            << file;
    }
    // Normals: the floor faces straight up, (0, 1, 0), mapped to (128, 255, 128).
    Picture normals = picture("shots", "gbuffer-normals.png");
    EXPECT_TRUE(near(normals.at(512, 740), Rgb{128, 255, 128}, 3));

    // The shadow map: white where no model cast depth, grey where one did.
    Picture shadowMap = picture("shots", "shadow-map.png");
    ASSERT_EQ(shadowMap.width, 1024);
    ASSERT_EQ(shadowMap.height, 1024);
    EXPECT_TRUE(near(shadowMap.at(0, 0), Rgb{255, 255, 255}, 0));
    double grey = shadowMap.share(0, 0, 1024, 1024, [](Rgb c) { return c.r < 240; });
    EXPECT_GT(grey, 0.01);
    EXPECT_LT(grey, 0.5);
}

TEST_F(CaptureTest, TheLightAngleMovesOnlyTheLightAndTheShadows) {
    startDisplay(false);
    ASSERT_EQ(capture("light0", {"--light", "0"}), 0) << lastError;
    ASSERT_EQ(capture("light90", {"--light", "90"}), 0) << lastError;
    ASSERT_EQ(capture("turned", {"--light", "0", "--upper-sphere", "0,90"}), 0) << lastError;

    // The camera pass does not depend on the light.
    EXPECT_EQ(changedShare(picture("light0", "gbuffer-diffuse.png"),
                           picture("light90", "gbuffer-diffuse.png")),
              0.0);
    EXPECT_GT(
        changedShare(picture("light0", "shadow-map.png"), picture("light90", "shadow-map.png")),
        0.005);
    EXPECT_GT(changedShare(picture("light0", "final.png"), picture("light90", "final.png")), 0.05);
    // Turning the upper sphere changes its texture, and only a small part of
    // the picture.
    double turned = changedShare(picture("light0", "gbuffer-diffuse.png"),
                                 picture("turned", "gbuffer-diffuse.png"));
    EXPECT_GT(turned, 0.005);
    EXPECT_LT(turned, 0.1);

    // Without shadows the final image is the same frame with every shadow
    // lifted: some pixels get lighter, none darker; the debug view is as drawn.
    ASSERT_EQ(capture("unshadowed", {"--light", "0", "--no-shadows"}), 0) << lastError;
    Picture shadowed = picture("light0", "final.png");
    Picture unshadowed = picture("unshadowed", "final.png");
    ASSERT_EQ(unshadowed.pixels.size(), shadowed.pixels.size());
    long darker = 0;
    for (std::size_t i = 0; i < shadowed.pixels.size(); ++i) {
        const Rgb &a = shadowed.pixels[i], &b = unshadowed.pixels[i];
        darker += b.r + b.g + b.b + 6 < a.r + a.g + a.b ? 1 : 0;
    }
    EXPECT_EQ(darker, 0);
    EXPECT_GT(changedShare(shadowed, unshadowed), 0.02);
    EXPECT_EQ(changedShare(picture("light0", "debug.png"), picture("unshadowed", "debug.png")),
              0.0);

    // A turn in four frames from 0 degrees is the final image at 0, 90, 180
    // and 270 degrees, drawn in one run.
    ASSERT_EQ(capture("turn", {"--light", "0", "--turn", "4"}), 0) << lastError;
    EXPECT_EQ(changedShare(picture("turn", "turn-000.png"), picture("light0", "final.png")), 0.0);
    EXPECT_EQ(changedShare(picture("turn", "turn-001.png"), picture("light90", "final.png")), 0.0);
    EXPECT_GT(changedShare(picture("turn", "turn-002.png"), picture("turn", "turn-003.png")), 0.05);
    EXPECT_FALSE(std::filesystem::exists(folder / "turn" / "turn-004.png"));
    EXPECT_FALSE(std::filesystem::exists(folder / "turn" / "final.png"));
}

TEST_F(CaptureTest, RejectsBadArgumentsWithOneLine) {
    for (const std::vector<std::string> &args : {std::vector<std::string>{"--light", "north"},
                                                 {"--upper-sphere", "1"},
                                                 {"--lower-sphere", "1,2,3,4"},
                                                 {"--size", "10"},
                                                 {"--turn", "0"},
                                                 {"--turn", "2.5"},
                                                 {"--turn", "1001"},
                                                 {"--light"}}) {
        ASSERT_EQ(capture("never", args), 2) << args[0];
        EXPECT_EQ(linesOf(lastError).size(), 1u) << lastError;
    }
    EXPECT_FALSE(std::filesystem::exists(folder / "never"));
}

} // namespace
