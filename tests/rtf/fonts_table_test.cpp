// The one table of the Chinese faces documents name and what stands in for them, and the
// choice of the interface font.

#include "rtf/fonts.h"

#include <gtest/gtest.h>

using namespace qm;

TEST(FaceTable, TheWindowsFacesAreKnownByTheirChineseAndEnglishNamesOthersAreNot)
{
    EXPECT_EQ(chineseFaceKind("宋体"), FaceKind::Song);
    EXPECT_EQ(chineseFaceKind("simsun"), FaceKind::Song);
    EXPECT_EQ(chineseFaceKind(" 仿宋_GB2312 "), FaceKind::Song);
    EXPECT_EQ(chineseFaceKind("黑体"), FaceKind::Hei);
    EXPECT_EQ(chineseFaceKind("Microsoft YaHei"), FaceKind::Hei);
    EXPECT_EQ(chineseFaceKind("楷体_GB2312"), FaceKind::Kai);
    EXPECT_EQ(chineseFaceKind("隶书"), FaceKind::Kai);
    EXPECT_EQ(chineseFaceKind("Noto Sans CJK SC"), std::nullopt);
    EXPECT_EQ(chineseFaceKind("Times New Roman"), std::nullopt);
    EXPECT_EQ(chineseFaceKind(""), std::nullopt);
}

TEST(FaceTable, StandInsFollowThePackagesFontDependency)
{
    // fonts-noto-cjk | fonts-wqy-microhei | fonts-wqy-zenhei; only Noto has a serif face.
    EXPECT_EQ(faceSubstitutes(FaceKind::Song),
              (QStringList{"Noto Serif CJK SC", "Noto Sans CJK SC", "WenQuanYi Micro Hei", "WenQuanYi Zen Hei"}));
    EXPECT_EQ(faceSubstitutes(FaceKind::Kai), faceSubstitutes(FaceKind::Song));
    EXPECT_EQ(faceSubstitutes(FaceKind::Hei),
              (QStringList{"Noto Sans CJK SC", "WenQuanYi Micro Hei", "WenQuanYi Zen Hei"}));
}

TEST(FaceTable, ADocumentNamesItsFaceFirstThenItsStandIns)
{
    EXPECT_EQ(familyWithSubstitutes("黑体"),
              (QStringList{"黑体", "Noto Sans CJK SC", "WenQuanYi Micro Hei", "WenQuanYi Zen Hei"}));
    // Other families keep their own letters; Chinese characters get a face of their kind.
    EXPECT_EQ(familyWithSubstitutes("Times New Roman").value(1), "Noto Serif CJK SC");
    EXPECT_EQ(familyWithSubstitutes("Arial Sans").value(1), "Noto Sans CJK SC");
    EXPECT_EQ(familyWithSubstitutes("方正黑体简体").value(1), "Noto Sans CJK SC");
    // A stand-in named itself is not named twice.
    EXPECT_EQ(familyWithSubstitutes("Noto Serif CJK SC").count("Noto Serif CJK SC"), 1);
}

TEST(FaceTable, QtUsesTheStandInsWhereverAFaceIsAskedFor)
{
    // Qt keeps the stand-ins in lower case; it matches families without regard to case.
    installFaceSubstitutes();
    const QStringList song{"noto serif cjk sc", "noto sans cjk sc", "wenquanyi micro hei", "wenquanyi zen hei"};
    EXPECT_EQ(QFont::substitutes("宋体"), song);
    EXPECT_EQ(QFont::substitutes("SimHei"),
              (QStringList{"noto sans cjk sc", "wenquanyi micro hei", "wenquanyi zen hei"}));
    // Installing twice does not name a stand-in twice.
    installFaceSubstitutes();
    EXPECT_EQ(QFont::substitutes("楷体"), song);
}

TEST(InterfaceFont, TheFirstInstalledFamilyOfTheDependencyAtTheSizeGiven)
{
    QFont placeholder("Sans Serif");
    placeholder.setPointSizeF(9);
    const auto chosen = interfaceFont(
        placeholder, {"DejaVu Sans", "AR PL UMing CN", "WenQuanYi Zen Hei", "Noto Sans CJK SC", "WenQuanYi Micro Hei"});
    ASSERT_TRUE(chosen);
    EXPECT_EQ(chosen->family(), "Noto Sans CJK SC");
    EXPECT_EQ(chosen->pointSizeF(), 9);
    // Without Noto the next in the dependency's order, whatever order fontconfig lists.
    EXPECT_EQ(interfaceFont(placeholder, {"WenQuanYi Zen Hei", "WenQuanYi Micro Hei"})->family(),
              "WenQuanYi Micro Hei");
    EXPECT_EQ(interfaceFont(placeholder, {"wenquanyi zen hei"})->family(), "WenQuanYi Zen Hei");
    // None of them: Qt's own choice stays.
    EXPECT_FALSE(interfaceFont(placeholder, {"DejaVu Sans", "AR PL UMing CN"}));
}

TEST(InterfaceFont, ADesktopsChoiceIsKept)
{
    const QStringList installed{"Noto Sans CJK SC"};
    // GNOME's, KDE's or a settings tool's font.
    EXPECT_FALSE(interfaceFont(QFont("Cantarell", 11), installed));
    EXPECT_FALSE(interfaceFont(QFont("Noto Sans", 10), installed));
    EXPECT_FALSE(interfaceFont(QFont("AR PL UMing CN", 12), installed));
    // Qt's placeholder when nobody chose, in any letter case.
    EXPECT_TRUE(interfaceFont(QFont("sans serif", 9), installed));
}
