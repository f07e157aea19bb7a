// The resource cache: a window's own tables before the process's shared ones, which definition of
// a name wins in each table, fonts and images. The shared tables live as long as the test program,
// so every test uses names of its own.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "tests/ui/UiTestSupport.h"
#include "ui/DisplayScale.h"
#include "ui/ImageDescription.h"
#include "ui/PaintManagerUI.h"
#include "ui/ResourceCache.h"

namespace tessel {
namespace {

using testing_support::MakeBandsPng;
using testing_support::TestPackage;

class ResourceCacheTest : public ::testing::Test {
protected:
    HDC MeasureDc() const { return m_measureDc.Get(); }

    DisplayScale m_scale;
    UniqueMemoryDc m_measureDc{::CreateCompatibleDC(nullptr)};
    ResourceCache m_cache{m_scale};
    ResourceCache m_other{m_scale};
};

TEST_F(ResourceCacheTest, StylesKeepTheFirstDefinitionInEachTableAndOwnOnesHideShared) {
    EXPECT_TRUE(m_cache.AddStyle(L"first_wins", L"width=\"1\" ", false));
    EXPECT_FALSE(m_cache.AddStyle(L"first_wins", L"width=\"2\" ", false));
    EXPECT_EQ(m_cache.GetStyle(L"first_wins").value_or(L""), L"width=\"1\" ");
    EXPECT_FALSE(m_cache.GetStyle(L"FIRST_WINS").has_value()) << "style names keep their case";

    EXPECT_TRUE(m_cache.AddStyle(L"shared_style", L"a=\"shared\" ", true));
    EXPECT_FALSE(m_other.AddStyle(L"shared_style", L"a=\"again\" ", true));
    EXPECT_TRUE(m_other.AddStyle(L"shared_style", L"a=\"own\" ", false))
        << "a window's own table is a table of its own";
    EXPECT_EQ(m_cache.GetStyle(L"shared_style").value_or(L""), L"a=\"shared\" ");
    EXPECT_EQ(m_other.GetStyle(L"shared_style").value_or(L""), L"a=\"own\" ");
    m_other.ClearOwn();
    EXPECT_EQ(m_other.GetStyle(L"shared_style").value_or(L""), L"a=\"shared\" ");
    EXPECT_FALSE(m_other.GetStyle(L"first_wins").has_value()) << "one window's own stay its own";
}

TEST_F(ResourceCacheTest, ClassDefaultsKeepTheLastDefinition) {
    m_cache.AddClassDefaults(L"CacheButton", L"height=\"1\" ", false);
    m_cache.AddClassDefaults(L"CacheButton", L"height=\"2\" ", false);
    EXPECT_EQ(m_cache.GetClassDefaults(L"CacheButton").value_or(L""), L"height=\"2\" ");
    m_other.AddClassDefaults(L"CacheButton", L"height=\"3\" ", true);
    EXPECT_EQ(m_cache.GetClassDefaults(L"CacheButton").value_or(L""), L"height=\"2\" ");
    EXPECT_EQ(m_other.GetClassDefaults(L"CacheButton").value_or(L""), L"height=\"3\" ");
    m_cache.ClearOwn();
    EXPECT_EQ(m_cache.GetClassDefaults(L"CacheButton").value_or(L""), L"height=\"3\" ");
}

TEST_F(ResourceCacheTest, ForcedSharingPutsEveryDefinitionInTheSharedTables) {
    m_cache.SetForceShared(true);
    m_cache.AddStyle(L"forced_style", L"x=\"1\" ", false);
    m_cache.AddClassDefaults(L"ForcedClass", L"y=\"1\" ", false);
    ASSERT_NE(m_cache.AddFont(9101, {L"Tahoma", 13}, false, MeasureDc()), nullptr);
    EXPECT_EQ(m_other.GetStyle(L"forced_style").value_or(L""), L"x=\"1\" ");
    EXPECT_EQ(m_other.GetClassDefaults(L"ForcedClass").value_or(L""), L"y=\"1\" ");
    EXPECT_EQ(m_other.LookUpFont(9101).size, 13);
}

TEST_F(ResourceCacheTest, LaterFontDefinitionWinsAndUnknownIdsGetTheDefault) {
    ASSERT_NE(m_cache.AddFont(1, {L"Tahoma", 14}, false, MeasureDc()), nullptr);
    ASSERT_NE(m_cache.AddFont(1, {L"Tahoma", 20, /*bold=*/true}, false, MeasureDc()), nullptr);
    EXPECT_EQ(m_cache.LookUpFont(1).size, 20);
    EXPECT_TRUE(m_cache.LookUpFont(1).bold);
    EXPECT_GT(m_cache.LookUpFont(1).metrics.tmHeight, 0);
    EXPECT_EQ(&m_cache.LookUpFont(7), &m_cache.GetDefaultFont());
    EXPECT_EQ(&m_cache.LookUpFont(-1), &m_cache.GetDefaultFont());

    // The window's default comes before the shared one, which every other window keeps.
    m_cache.SetDefaultFont({L"Tahoma", 17, /*bold=*/true}, false, MeasureDc());
    EXPECT_EQ(m_cache.LookUpFont(-1).size, 17);
    EXPECT_NE(m_other.GetDefaultFont().size, 17);
    // A face longer than a font description holds is cut, not overrun.
    EXPECT_NE(m_cache.AddFont(2, {std::wstring(100, L'F'), 12}, false, MeasureDc()), nullptr);
    EXPECT_EQ(m_cache.LookUpFont(2).face.size(), 31u);
}

TEST_F(ResourceCacheTest, OwnFontComesBeforeTheSharedOneOfTheSameId) {
    ASSERT_NE(m_other.AddFont(9102, {L"Tahoma", 11}, true, MeasureDc()), nullptr);
    EXPECT_EQ(m_cache.LookUpFont(9102).size, 11);
    ASSERT_NE(m_cache.AddFont(9102, {L"Tahoma", 15}, false, MeasureDc()), nullptr);
    EXPECT_EQ(m_cache.LookUpFont(9102).size, 15);
    EXPECT_EQ(m_other.LookUpFont(9102).size, 11);
}

TEST_F(ResourceCacheTest, SharedColourMovesWindowsThatStillFollowIt) {
    const uint32_t old = m_cache.Colors().link;
    m_other.SetDefaultColor(&DefaultColors::link, 0xFF123456, false);
    m_cache.SetDefaultColor(&DefaultColors::link, 0xFF654321, true);
    EXPECT_EQ(m_cache.Colors().link, 0xFF654321u);
    EXPECT_EQ(m_other.Colors().link, 0xFF123456u) << "a window's own colour stays";
    ResourceCache later(m_scale);
    EXPECT_EQ(later.Colors().link, 0xFF654321u);
    m_cache.SetDefaultColor(&DefaultColors::link, old, true);
    EXPECT_EQ(later.Colors().text, 0xFF000000u);
    EXPECT_EQ(later.Colors().disabledText, 0xFFA7A6AAu);
}

TEST_F(ResourceCacheTest, ImagesLoadOnceSharedOnesServeEveryWindowMissingOnesGiveNothing) {
    TestPackage package;
    package.Add("img/a.png", MakeBandsPng({0xFF102030}, 3, 2));
    package.Add("img/shared.png", MakeBandsPng({0xFF405060}, 1, 1));
    package.Add("img/bad.png", "not an image");
    package.Open();
    const ImageRecord* first = m_cache.LookUpImage(L"img\\a.png", L"", 0, false);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->Width(), 3);
    EXPECT_EQ(first->Height(), 2);
    EXPECT_EQ(first->dib.pixels[0], 0xFF102030u);
    EXPECT_EQ(m_cache.LookUpImage(L"img\\a.png", L"", 0, false), first);
    EXPECT_EQ(m_other.GetImage(L"img\\a.png"), nullptr) << "looked-up images are the window's";
    EXPECT_EQ(m_cache.LookUpImage(L"img\\bad.png", L"", 0, false), nullptr);
    EXPECT_EQ(m_cache.LookUpImage(L"img\\none.png", L"", 0, false), nullptr);
    EXPECT_EQ(m_cache.AddImage(L"", L"", 0, false, false), nullptr);

    const ImageRecord* shared = m_cache.AddImage(L"img\\shared.png", L"", 0, false, true);
    ASSERT_NE(shared, nullptr);
    EXPECT_EQ(m_other.GetImage(L"img\\shared.png"), shared);
    // A numbered name with a resource type names a module resource; this program has none.
    EXPECT_EQ(m_cache.AddImage(L"131", L"PNG", 0, false, false), nullptr);
}

// Fonts are made at the scale of the moment; a change of scale makes the window's own fonts again
// in place, and a font made for another scale (a shared one, the system's default) is seen as a
// copy at this window's scale while the original stays as it was for its own window.
TEST_F(ResourceCacheTest, FontsFollowTheDisplayScale) {
    m_scale.SetPercent(150);
    ASSERT_NE(m_cache.AddFont(901, {L"", 20}, false, MeasureDc()), nullptr);
    const FontRecord* own = &m_cache.LookUpFont(901);
    EXPECT_EQ(own->description.lfHeight, -30);
    EXPECT_EQ(own->size, 20) << "the size stays as written";
    const LONG heightAt150 = own->metrics.tmHeight;

    DisplayScale otherScale;  // another window, still at 100 %
    ResourceCache otherWindow(otherScale);
    ASSERT_NE(otherWindow.AddFont(902, {L"", 12, /*bold=*/true}, true, MeasureDc()), nullptr);
    EXPECT_EQ(otherWindow.LookUpFont(902).description.lfHeight, -12);
    EXPECT_EQ(m_cache.LookUpFont(902).description.lfHeight, -18);
    EXPECT_TRUE(m_cache.LookUpFont(902).bold);
    EXPECT_EQ(otherWindow.LookUpFont(902).description.lfHeight, -12) << "the original is unchanged";

    m_scale.SetPercent(200);
    m_cache.OnDisplayScaleChanged(MeasureDc());
    EXPECT_EQ(&m_cache.LookUpFont(901), own) << "the record stays; references to it hold";
    EXPECT_EQ(own->description.lfHeight, -40);
    EXPECT_GT(own->metrics.tmHeight, heightAt150) << "metrics measured again";
    EXPECT_EQ(m_cache.LookUpFont(902).description.lfHeight, -24);
    const FontRecord& systemDefault = otherWindow.GetDefaultFont();
    EXPECT_EQ(m_cache.GetDefaultFont().description.lfHeight,
              -ScaleByPercent(systemDefault.size, 200));
}

// At another scale an image is drawn from its variant for that scale, else its twice-size twin,
// else itself; a variant the skin lacks is looked for once.
TEST_F(ResourceCacheTest, ImagesAreChosenForTheDisplayScale) {
    TestPackage package;
    package.Add("var/both.png", MakeBandsPng({0xFF102030}, 3, 2));
    package.Add("var/both@200.png", MakeBandsPng({0xFF405060}, 6, 4));
    package.Add("var/only.png", MakeBandsPng({0xFF708090}, 3, 2));
    package.Add("var/exact@150.png", MakeBandsPng({0xFFA0B0C0}, 5, 3));
    package.Add("var/exact@200.png", MakeBandsPng({0xFFA0B0C0}, 6, 4));
    package.Open();
    const auto chosen = [&](const wchar_t* name) {
        const ScaledImage found = m_cache.LookUpImageForScale(name, L"", 0, false);
        return std::pair{found.image != nullptr ? found.image->Width() : 0, found.percent};
    };
    EXPECT_EQ(chosen(L"var\\both.png"), (std::pair{3, 100}));
    m_scale.SetPercent(150);
    m_cache.OnDisplayScaleChanged(MeasureDc());
    EXPECT_EQ(chosen(L"var\\both.png"), (std::pair{6, 200}));
    EXPECT_EQ(chosen(L"var\\only.png"), (std::pair{3, 100}));
    EXPECT_EQ(chosen(L"var\\only.png"), (std::pair{3, 100})) << "asked again";
    EXPECT_EQ(chosen(L"var\\exact.png"), (std::pair{5, 150})) << "an exact variant comes first";
    EXPECT_EQ(chosen(L"var\\none.png"), (std::pair{0, 100}));
    EXPECT_EQ(m_cache.LookUpImageForScale(L"131", L"PNG", 0, false).percent, 100)
        << "module resources have no variants";
    m_scale.SetPercent(200);
    m_cache.OnDisplayScaleChanged(MeasureDc());
    EXPECT_EQ(chosen(L"var\\exact.png"), (std::pair{6, 200}));
    const ScaledImage twin = m_cache.LookUpImageForScale(L"var\\both.png", L"", 0, false);
    EXPECT_EQ(twin.SizeAsWritten(), (UiSize{3, 2}));
    EXPECT_EQ(twin.file, L"var\\both@200.png");

    // Resized whole, the twice-size file is dropped and its copy found by the image's own name.
    m_scale.SetPercent(150);
    m_cache.OnDisplayScaleChanged(MeasureDc());
    const ScaledImage found = m_cache.LookUpImageForScale(L"var\\both.png", L"", 0, false);
    ASSERT_EQ(found.percent, 200);
    EXPECT_EQ(m_cache.FindResized(L"var\\both.png", {}), nullptr);
    const ImageRecord* resized = m_cache.Resize(L"var\\both.png", {}, found, {0, 0, 6, 4}, {5, 3});
    ASSERT_NE(resized, nullptr);
    EXPECT_EQ(resized->Width(), 5);
    EXPECT_EQ(resized->dib.pixels[0], 0xFF405060u);
    EXPECT_EQ(m_cache.FindResized(L"var\\both.png", {}), resized);
    EXPECT_EQ(m_cache.FindResized(L"var\\both.png", {0, 0, 1, 1}), nullptr) << "another part";
    EXPECT_EQ(m_cache.GetImage(L"var\\both@200.png"), nullptr) << "the file is not kept";

    // A part of a file (a frame of a strip) keeps the file for the other parts.
    const ScaledImage twin200 = m_cache.LookUpImageForScale(L"var\\both.png", L"", 0, false);
    ASSERT_NE(m_cache.Resize(L"var\\both.png", {0, 0, 1, 2}, twin200, {0, 0, 2, 4}, {2, 3}),
              nullptr);
    EXPECT_NE(m_cache.GetImage(L"var\\both@200.png"), nullptr);
    EXPECT_EQ(m_cache.Resize(L"var\\both.png", {0, 0, 9, 9}, twin200, {0, 0, 7, 4}, {9, 6}),
              nullptr)
        << "a part beyond the file";
    m_scale.SetPercent(200);
    m_cache.OnDisplayScaleChanged(MeasureDc());
    EXPECT_EQ(m_cache.FindResized(L"var\\both.png", {}), nullptr) << "gone with the scale";
}

TEST(PaintManagerResourcesTest, InitClearsTheWindowsOwnTablesOnly) {
    CPaintManagerUI manager;
    manager.AddStyle(L"init_own", L"w=\"1\" ", false);
    manager.AddStyle(L"init_shared", L"w=\"2\" ", true);
    manager.Init(nullptr);
    EXPECT_FALSE(manager.GetStyle(L"init_own").has_value());
    EXPECT_TRUE(manager.GetStyle(L"init_shared").has_value());
    EXPECT_EQ(manager.GetDisplayScale().Percent(), 100);
}

}  // namespace
}  // namespace tessel
