// korvane-lab as a learner uses it: shaders edited while it runs, the
// animation held still and the light turned by hand.
#include "KorvaneTest.h"

#include <algorithm>
#include <fstream>
#include <iterator>

namespace {

const char flatComposite[] = "void main() { gl_FragColor = vec4(1.0, 0.0, 1.0, 1.0); }\n";
const char brokenComposite[] = "void main() { gl_FragColor = vec4(1.0) }\n";

bool isFlat(const Picture &p) {
    return p.share(0, 0, p.width, p.height, [](Rgb c) { return near(c, {255, 0, 255}, 2); }) > 0.99;
}

bool same(const Picture &a, const Picture &b) {
    return a.width == b.width && a.height == b.height &&
           std::equal(a.pixels.begin(), a.pixels.end(), b.pixels.begin(),
                      [](Rgb p, Rgb q) { return near(p, q, 0); });
}

std::size_t count(const std::string &text, const std::string &part) {
    std::size_t found = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++found;
    return found;
}

class LabTest : public KorvaneTest {
  protected:
    void SetUp() override {
        KorvaneTest::SetUp();
        executable = "korvane-lab";
        startDisplay(false);
    }

    void startLab(std::vector<std::string> args) {
        arguments = std::move(args);
        startKorvane();
        window = waitForKorvaneWindow("Korvane lab");
        ASSERT_NE(window, 0u) << "no window titled Korvane lab\n" << korvane.standardError();
    }

    // Waits until `condition` holds, at most 20 s, and gives up at once if
    // the lab has ended or grown past any size it needs.
    bool waitFor(const std::function<bool()> &condition) {
        waitUntil(20s, [&] {
            return condition() || !korvane.running() || korvane.residentKiB() > 2000000;
        });
        return condition();
    }

    std::string caption() {
        std::string type;
        return textProperty(x(), window, "WM_NAME", &type);
    }
    bool shows(const std::function<bool(const Picture &)> &looksRight) {
        return waitFor([&] { return looksRight(grab(x(), window)); });
    }

    ::Window window = 0;
};

// Written in place, then replaced by a new file renamed over it, then
// written back: each save is taken up, and the broken one is reported once
// while the last program that built goes on drawing.
TEST_F(LabTest, ReloadsTheCompositeAndKeepsTheLastGoodOneWhileItIsBroken) {
    std::ifstream in(dataFile("deferredRendering.frag"), std::ios::binary);
    const std::string original{std::istreambuf_iterator<char>(in), {}};
    startLab({});
    ASSERT_TRUE(shows([](const Picture &p) { return p.width > 0 && looksFinal(p); }));

    writeDataFile("deferredRendering.frag", flatComposite);
    EXPECT_TRUE(shows(isFlat)) << korvane.standardError();
    EXPECT_EQ(count(korvane.standardOutput(), "reloaded data/deferredRendering.frag"), 1u);

    writeDataFile("broken.frag", brokenComposite);
    std::filesystem::rename(dataFile("broken.frag"), dataFile("deferredRendering.frag"));
    ASSERT_TRUE(waitFor([&] { return caption().find("compilation failed") != std::string::npos; }))
        << caption();
    std::string report = korvane.standardError();
    report.erase(std::remove(report.begin(), report.end(), '\r'), report.end()); // Windows
    EXPECT_NE(report.find("Fragment shader compilation failed.\n"
                          "data/deferredRendering.frag:\n"),
              std::string::npos)
        << report;
    int frames = framesTimed();
    ASSERT_TRUE(waitForFramesTimed(frames, 3, 20s));
    EXPECT_TRUE(isFlat(grab(x(), window)));

    writeDataFile("deferredRendering.frag", original);
    EXPECT_TRUE(shows([](const Picture &p) { return p.width > 0 && looksFinal(p); }));
    EXPECT_TRUE(waitFor([&] { return caption() == "Korvane lab"; })) << caption();
    EXPECT_EQ(count(korvane.standardOutput(), "reloaded data/deferredRendering.frag"), 2u);
    // Many looks at the files went by between the two saves.
    EXPECT_EQ(count(korvane.standardError(), "compilation failed"), 1u);

    ASSERT_TRUE(pressKeys(x(), window, display->name(), {"alt+F4"}));
    EXPECT_EQ(korvane.waitForExit(exitAfterClose), std::optional<int>(0));
}

// Stopped, two frames are the same picture: the light and both spheres hold
// still. The arrows turn the light all the same; Space starts it again.
TEST_F(LabTest, SpaceHoldsTheSceneStillAndTheArrowsTurnTheLight) {
    startLab({"--stopped", "--light", "358"});
    EXPECT_TRUE(waitFor([&] {
        return caption() == "Korvane lab - stopped, light at 358.0 degrees";
    })) << caption();
    ASSERT_TRUE(shows([](const Picture &p) { return p.width > 0 && looksFinal(p); }));
    Picture held = grab(x(), window);
    int frames = framesTimed();
    ASSERT_TRUE(waitForFramesTimed(frames, 3, 20s));
    EXPECT_TRUE(same(held, grab(x(), window))) << "the scene moved while stopped";

    ASSERT_TRUE(pressKeys(x(), window, display->name(), {"Right"}));
    EXPECT_TRUE(waitFor([&] { return caption() == "Korvane lab - stopped, light at 3.0 degrees"; }))
        << caption();
    ASSERT_TRUE(pressKeys(x(), window, display->name(), {"Left", "Left"}));
    EXPECT_TRUE(waitFor([&] {
        return caption().find("light at 353.0 degrees") != std::string::npos;
    })) << caption();

    ASSERT_TRUE(pressKeys(x(), window, display->name(), {"space"}));
    EXPECT_TRUE(waitFor([&] { return caption() == "Korvane lab"; })) << caption();
    Picture moving = grab(x(), window);
    EXPECT_TRUE(shows([&](const Picture &p) { return !same(p, moving); }));
}

TEST_F(LabTest, RejectsBadOptionsWithStatusTwo) {
    for (const std::vector<std::string> &args :
         {std::vector<std::string>{"--light", "north"}, {"--light"}, {"--fast"}}) {
        ChildProcess lab;
        std::vector<std::string> command = program().command(folder, "korvane-lab");
        command.insert(command.end(), args.begin(), args.end());
        ASSERT_TRUE(lab.start(command[0], {command.begin() + 1, command.end()}, folder.string(),
                              display->name(), folder.string()));
        EXPECT_EQ(lab.waitForExit(60s), std::optional<int>(2)) << args[0];
        EXPECT_EQ(linesOf(lab.standardError()).size(), 1u) << lab.standardError();
    }
}

} // namespace
