#pragma once
// Generated Chinese text for the benchmarks: common hanzi picked at random, so banks and
// documents hold text of a realistic byte length and GBK mix.

#include "core/gbk.h"

#include <QByteArray>
#include <QRandomGenerator>
#include <QString>

namespace qm::bench {

inline QString chineseText(QRandomGenerator& rng, int length)
{
    static const QString chars = QStringLiteral(
        "的一是在不了有和人这中大为上个国我以要他时来用们生到作地于出就分对成会可主发年动同工也能下过子说产种面而方后多定"
        "行学法所民得经十三之进着等部度家电力里如水化高自二理起小物现实加量都两体制机当使点从业本去把性好应开它合还因由其些"
        "然前外天政四日那社义事平形相全表间样与关各重新线内数正心反你明看原又么利比或但质气第向道命此变条只没结解问意建月公"
        "无系军很情者最立代想已通并提直题党程展五果料象员革位入常文总次品式活设及管特件长求老头基资边流路级少图山统接知较将"
        "组见计别她手角期根论运农指几九区强放决西被干做必战先回则任取据处队南给色光门即保治北造百规热领七海口东导器压志世金");
    QString s;
    s.reserve(length);
    for (int i = 0; i < length; ++i)
        s += chars[rng.bounded(int(chars.size()))];
    return s;
}

// `text` as a GBK RTF document in 宋体 10.5, as the bank window stores questions.
inline QByteArray gbkRtf(const QString& text)
{
    QByteArray rtf = "{\\rtf1\\ansi\\ansicpg936{\\fonttbl{\\f0\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}}\\f0\\fs21 ";
    const QByteArray bytes = gbkEncode(text).value_or(QByteArray());
    for (const char byte : bytes)
        rtf += "\\'" + QByteArray::number(uchar(byte), 16);
    return rtf + "\\par}";
}

}  // namespace qm::bench
