#include "rtf/fonts.h"

#include <QFontDatabase>
#include <QGuiApplication>

namespace qm {

namespace {

struct Face {
    const char16_t* name;
    FaceKind kind;
};

// The Windows Chinese faces documents name, in Chinese and in English.
constexpr Face kFaces[] = {
    {u"宋体", FaceKind::Song},     {u"SimSun", FaceKind::Song},
    {u"新宋体", FaceKind::Song},   {u"NSimSun", FaceKind::Song},
    {u"仿宋", FaceKind::Song},     {u"仿宋_GB2312", FaceKind::Song},
    {u"FangSong", FaceKind::Song}, {u"FangSong_GB2312", FaceKind::Song},
    {u"华文宋体", FaceKind::Song}, {u"STSong", FaceKind::Song},
    {u"华文中宋", FaceKind::Song}, {u"STZhongsong", FaceKind::Song},
    {u"华文仿宋", FaceKind::Song}, {u"STFangsong", FaceKind::Song},
    {u"黑体", FaceKind::Hei},      {u"SimHei", FaceKind::Hei},
    {u"微软雅黑", FaceKind::Hei},  {u"Microsoft YaHei", FaceKind::Hei},
    {u"等线", FaceKind::Hei},      {u"DengXian", FaceKind::Hei},
    {u"幼圆", FaceKind::Hei},      {u"YouYuan", FaceKind::Hei},
    {u"华文黑体", FaceKind::Hei},  {u"STHeiti", FaceKind::Hei},
    {u"华文细黑", FaceKind::Hei},  {u"STXihei", FaceKind::Hei},
    {u"楷体", FaceKind::Kai},      {u"楷体_GB2312", FaceKind::Kai},
    {u"KaiTi", FaceKind::Kai},     {u"KaiTi_GB2312", FaceKind::Kai},
    {u"华文楷体", FaceKind::Kai},  {u"STKaiti", FaceKind::Kai},
    {u"隶书", FaceKind::Kai},      {u"LiSu", FaceKind::Kai},
    {u"华文行楷", FaceKind::Kai},  {u"STXingkai", FaceKind::Kai},
};

const QString kNotoSans = QStringLiteral("Noto Sans CJK SC");
const QString kNotoSerif = QStringLiteral("Noto Serif CJK SC");
const QString kMicroHei = QStringLiteral("WenQuanYi Micro Hei");
const QString kZenHei = QStringLiteral("WenQuanYi Zen Hei");

// The placeholder family of Qt's generic and GNOME themes when no desktop setting names one.
const QString kPlaceholderFamily = QStringLiteral("Sans Serif");

}  // namespace

std::optional<FaceKind> chineseFaceKind(const QString& family)
{
    const QString name = family.trimmed();
    for (const Face& face : kFaces)
        if (name.compare(QString::fromUtf16(face.name), Qt::CaseInsensitive) == 0)
            return face.kind;
    return std::nullopt;
}

QStringList faceSubstitutes(FaceKind kind)
{
    // Only fonts-noto-cjk has a serif face; WenQuanYi stands in for every kind without it.
    // None of the three has a brush face: 楷体 is set in the serif face.
    if (kind == FaceKind::Hei)
        return {kNotoSans, kMicroHei, kZenHei};
    return {kNotoSerif, kNotoSans, kMicroHei, kZenHei};
}

QStringList familyWithSubstitutes(const QString& family)
{
    if (const std::optional<FaceKind> kind = chineseFaceKind(family))
        return QStringList{family} + faceSubstitutes(*kind);
    static const QStringList kSansMarks{QStringLiteral("黑"),   QStringLiteral("hei"), QStringLiteral("gothic"),
                                        QStringLiteral("sans"), QStringLiteral("圆"),  QStringLiteral("yuan")};
    bool sans = false;
    for (const QString& mark : kSansMarks)
        sans = sans || family.contains(mark, Qt::CaseInsensitive);
    QStringList families{family};
    for (const QString& f : faceSubstitutes(sans ? FaceKind::Hei : FaceKind::Song))
        if (f.compare(family, Qt::CaseInsensitive) != 0)
            families << f;
    return families;
}

void installFaceSubstitutes()
{
    for (const Face& face : kFaces) {
        const QString name = QString::fromUtf16(face.name);
        QFont::removeSubstitutions(name);
        QFont::insertSubstitutions(name, faceSubstitutes(face.kind));
    }
}

QStringList interfaceFamilies()
{
    return {kNotoSans, kMicroHei, kZenHei};
}

std::optional<QFont> interfaceFont(const QFont& current, const QStringList& installed)
{
    const QString family = current.families().value(0, current.family());
    if (!family.isEmpty() && family.compare(kPlaceholderFamily, Qt::CaseInsensitive) != 0)
        return std::nullopt;
    for (const QString& candidate : interfaceFamilies()) {
        if (installed.contains(candidate, Qt::CaseInsensitive)) {
            QFont font = current;
            font.setFamilies({candidate});
            return font;
        }
    }
    return std::nullopt;
}

void setUpFonts()
{
    installFaceSubstitutes();
    if (const std::optional<QFont> font = interfaceFont(QGuiApplication::font(), QFontDatabase::families()))
        QGuiApplication::setFont(*font);
}

}  // namespace qm
