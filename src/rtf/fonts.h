#pragma once
// Which fonts the program's text is set in, the same on every computer.
//
// Documents name the Chinese faces of Windows (宋体, 黑体, 楷体 …), which a Linux computer
// does not have. One table says which installed families stand in for each of them; the
// question boxes, the previews and the PDF all go by it, so a 宋体 run looks the same in
// each. The interface font is a Chinese sans face the package depends on, unless the
// desktop chose one.

#include <QFont>
#include <QString>
#include <QStringList>
#include <optional>

namespace qm {

// The kinds of Chinese face, each with its own stand-ins.
enum class FaceKind {
    Song,  // 宋体, 新宋体, 仿宋 …: serif faces
    Hei,   // 黑体, 微软雅黑, 幼圆 …: sans faces
    Kai,   // 楷体, 隶书, 行楷 …: brush faces
};

// The kind of a Chinese face by its Windows name (Chinese or English, any letter case);
// nothing for a family that is not one of them ("Times New Roman", "Noto Sans CJK SC").
std::optional<FaceKind> chineseFaceKind(const QString& family);

// The families that stand in for a face of this kind, best first: the families of the
// package's font dependency (fonts-noto-cjk | fonts-wqy-microhei | fonts-wqy-zenhei).
QStringList faceSubstitutes(FaceKind kind);

// `family` followed by what stands in for it, for a document that names every family its
// text may be set in (the PDF): a Chinese face gets its stand-ins, any other family a Chinese
// family of its kind (serif, or sans when its name says sans, 黑 or gothic) for the Chinese
// characters it lacks.
QStringList familyWithSubstitutes(const QString& family);

// Makes Qt itself use the stand-ins wherever a Windows Chinese face is asked for and is not
// installed (QFont::insertSubstitutions), in every view. Call once, after the application
// object exists.
void installFaceSubstitutes();

// The interface families the package depends on, in the order of its font dependency.
QStringList interfaceFamilies();

// The interface font for an application whose font now is `current`, with `installed` the
// installed families: the first interface family installed, at the size of `current`.
// Nothing when a desktop chose `current` (any family but the placeholder "Sans Serif" that
// Qt's generic themes give when nobody chose) or no interface family is installed.
std::optional<QFont> interfaceFont(const QFont& current, const QStringList& installed);

// At start: the face stand-ins, and the interface font when the desktop chose none.
void setUpFonts();

}  // namespace qm
