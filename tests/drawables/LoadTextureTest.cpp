// Loading RAW texture files from real files in a temporary folder.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdint>
#include <filesystem>

#include "drawables/IModel.h"
#include "drawables/ModelTestKit.h"
#include "drawables/loadTexture.h"
#include "support/GLTestContext.h"
#include "drawables/TextureTestModel.h"

using testkit::pattern;
using testkit::TextureTestModel;

namespace {

class LoadTextureTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(context.ok()) << context.error();
        ASSERT_TRUE(dir.ok());
        shaders = testkit::writeTestShaders(dir);
        model = std::make_unique<TextureTestModel>(shaders);
    }

    // Writes a file of the given bytes and loads it into the model.
    bool load(const std::vector<unsigned char> &bytes, const std::string &name = "t.raw") {
        dir.write(name, bytes);
        return loadTexture(dir.file(name), *model);
    }

    GLTestContext context;
    TempDir dir;
    testkit::TestShaders shaders;
    std::unique_ptr<TextureTestModel> model;
};

} // namespace

TEST_F(LoadTextureTest, SideComesFromTheFileLength) {
    const struct {
        std::size_t bytes;
        GLint side;
    } cases[] = {{786432, 512}, {196608, 256}, {48, 4}, {3 * 8 * 8 + 1, 8}, {3 * 8 * 8 + 50, 8}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.bytes);
        ASSERT_TRUE(load(pattern(c.bytes)));
        EXPECT_EQ(testkit::boundSide(), c.side);
        EXPECT_EQ(testkit::boundTexture(), model->texture);
    }
}

TEST_F(LoadTextureTest, PixelsArriveRowByRowAsStored) {
    // A side that is a multiple of 4, one that is not, and one with extra
    // bytes at the end that must be ignored.
    for (const std::size_t side : {4, 5, 7, 13}) {
        for (const std::size_t extra : {std::size_t{0}, std::size_t{1}, 6 * side + 2}) {
            SCOPED_TRACE(testing::Message() << "side " << side << " extra " << extra);
            const auto bytes = pattern(3 * side * side + extra);
            ASSERT_TRUE(load(bytes));
            ASSERT_EQ(testkit::boundSide(), static_cast<GLint>(side));
            const auto pixels = testkit::boundPixels(side);
            EXPECT_TRUE(std::equal(pixels.begin(), pixels.end(), bytes.begin()));
        }
    }
}

TEST_F(LoadTextureTest, UploadLeavesTheUnpackAlignmentAsItFoundIt) {
    glPixelStorei(GL_UNPACK_ALIGNMENT, 8);
    ASSERT_TRUE(load(pattern(3 * 5 * 5)));
    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 8);
}

TEST_F(LoadTextureTest, LongFileWhoseSingleSideWouldOverrunIsCutToWhatFits) {
    // For both lengths the single-precision side is 2049, whose image needs
    // 12,595,203 bytes: two bytes more than the file holds, and one. The
    // image must come from the bytes that exist.
    for (const std::size_t length : {std::size_t{12595201}, std::size_t{12595202}}) {
        SCOPED_TRACE(length);
        const auto bytes = pattern(length);
        ASSERT_TRUE(load(bytes));
        const GLint side = testkit::boundSide();
        ASSERT_EQ(side, 2048);
        const auto pixels = testkit::boundPixels(static_cast<std::size_t>(side));
        EXPECT_TRUE(std::equal(pixels.begin(), pixels.end(), bytes.begin()));
    }
}

TEST_F(LoadTextureTest, EmptyFileGivesAnEmptyTexture) {
    ASSERT_TRUE(load({}));
    EXPECT_NE(model->texture, 0u);
    EXPECT_TRUE(glIsTexture(model->texture));
    EXPECT_EQ(testkit::boundSide(), 0);
}

TEST_F(LoadTextureTest, FilesThatHoldNoUsableImageChangeNothing) {
    // A directory, a FIFO that nobody writes (it must not block) and a file
    // whose image side is one above the driver's limit, made sparse so that
    // it takes no disk space. None is read, and no texture is made.
    std::filesystem::create_directory(dir.file("folder.raw"));
    ASSERT_EQ(mkfifo(dir.file("fifo.raw").c_str(), 0600), 0);
    GLint maxSide = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSide);
    ASSERT_GT(maxSide, 0);
    const auto beyond = static_cast<std::uintmax_t>(maxSide) + 1;
    dir.write("huge.raw", std::string());
    std::filesystem::resize_file(dir.file("huge.raw"), 3 * beyond * beyond);
    // One byte less holds a side that fits, so the bound is exact; the
    // image is then cut from the read bytes as usual.
    dir.write("largest.raw", std::string());
    std::filesystem::resize_file(dir.file("largest.raw"), 3 * beyond * beyond - 1);

    for (const char *name : {"absent.raw", "folder.raw", "huge.raw", "fifo.raw"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(loadTexture(dir.file(name), *model));
        EXPECT_EQ(model->texture, 0u);
    }

    ASSERT_TRUE(load(pattern(48)));
    const GLuint loaded = model->texture;
    for (const char *name : {"absent.raw", "folder.raw", "huge.raw", "fifo.raw"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(loadTexture(dir.file(name), *model));
        EXPECT_EQ(model->texture, loaded);
        EXPECT_TRUE(glIsTexture(loaded));
    }

    ASSERT_TRUE(loadTexture(dir.file("largest.raw"), *model));
    EXPECT_LE(testkit::boundSide(), maxSide);
}

TEST_F(LoadTextureTest, SecondLoadReplacesTheFirstTexture) {
    ASSERT_TRUE(load(pattern(48), "first.raw"));
    const GLuint first = model->texture;
    ASSERT_TRUE(load(pattern(3 * 8 * 8), "second.raw"));
    // A reused name proves the first was freed; otherwise it must be gone.
    EXPECT_TRUE(model->texture == first || !glIsTexture(first));
    EXPECT_EQ(testkit::boundSide(), 8);
}

TEST_F(LoadTextureTest, TextureIsMipmappedRepeatingAndModulated) {
    glActiveTextureARB(GL_TEXTURE1);
    ASSERT_TRUE(load(pattern(3 * 16 * 16)));
    EXPECT_EQ(testkit::boundTexture(), model->texture); // on the active unit
    GLint value = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &value);
    EXPECT_EQ(value, GL_LINEAR_MIPMAP_LINEAR);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &value);
    EXPECT_EQ(value, GL_REPEAT);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &value);
    EXPECT_EQ(value, GL_REPEAT);
    // The whole mipmap chain exists, down to 1 x 1.
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 4, GL_TEXTURE_WIDTH, &value);
    EXPECT_EQ(value, 1);
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &value);
    EXPECT_EQ(value, GL_MODULATE);
}
