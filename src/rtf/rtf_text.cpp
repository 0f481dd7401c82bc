#include "rtf/rtf_text.h"

#include "rtf/rtf_charset.h"
#include "rtf/rtf_reader.h"
#include "rtf/rtf_tokenizer.h"

#include <QByteArray>
#include <QHash>
#include <string_view>
#include <vector>

namespace qm {

namespace {

using rtf::Token;

// Destinations whose content is never text of the body.
bool skippedDestination(std::string_view w)
{
    static const std::string_view names[] = {
        "colortbl",      "stylesheet",
        "info",          "pict",
        "object",        "objdata",
        "fldinst",       "header",
        "headerl",       "headerr",
        "headerf",       "footer",
        "footerl",       "footerr",
        "footerf",       "shpinst",
        "shprslt",       "nonshppict",
        "listtable",     "listoverridetable",
        "rsidtbl",       "themedata",
        "datastore",     "latentstyles",
        "xmlnstbl",      "generator",
        "footnote",      "annotation",
        "atnid",         "atnauthor",
        "bkmkstart",     "bkmkend",
        "revtbl",        "filetbl",
        "pgdsctbl",      "mmathPr",
        "wgrffmtfilter", "colorschememapping",
        "template",      "userprops",
        "docvar",        "pn",
    };
    for (std::string_view n : names)
        if (w == n)
            return true;
    return false;
}

struct GroupState {
    bool skip = false;
    bool fontTable = false;
    int uc = 1;
    int font = -1;
};

class TextReader {
public:
    explicit TextReader(QByteArrayView rtf) : tok_(rtf) { decoder_.setDocument(rtf); }

    QString run()
    {
        tok_.skipToGroup();
        std::vector<GroupState> stack;
        GroupState st;
        bool star = false;
        for (int depthGuard = 0;;) {
            const Token t = tok_.next();
            if (t.kind == Token::End)
                break;
            if (t.kind != Token::Bytes)
                flush(st);
            switch (t.kind) {
            case Token::GroupOpen:
                if (stack.size() < 4096) {
                    stack.push_back(st);
                } else {
                    ++depthGuard;  // deeper groups share their parent's state
                }
                star = false;
                continue;
            case Token::GroupClose:
                if (depthGuard > 0) {
                    --depthGuard;
                } else if (stack.empty()) {
                    return out_;  // the closing brace of the document
                } else {
                    st = stack.back();
                    stack.pop_back();
                }
                skip_ = 0;
                continue;
            case Token::Symbol:
                if (t.symbol == '*') {
                    star = true;
                    continue;
                }
                if (!consumeSkip() && !st.skip) {
                    if (t.symbol == '~')
                        out_ += QLatin1Char(' ');
                    else if (t.symbol == '_')
                        out_ += QLatin1Char('-');
                    else if (t.symbol == '\\' || t.symbol == '{' || t.symbol == '}')
                        out_ += QLatin1Char(char(t.symbol));
                }
                break;
            case Token::Word: word(t, st, star); break;
            case Token::Bytes: takeBytes(t.bytes, st); break;
            case Token::Text: takeBytes(t.text, st); break;
            case Token::End: break;
            }
            star = false;
        }
        flush(st);
        return out_;
    }

private:
    // True when the character is the fallback of a \uN just read and is dropped.
    bool consumeSkip()
    {
        if (skip_ <= 0)
            return false;
        --skip_;
        return true;
    }

    void word(const Token& t, GroupState& st, bool star)
    {
        const std::string_view w = t.word;
        if (w == "bin") {
            tok_.takeBinary(t.hasParam ? t.param : 0);
            return;
        }
        if (w == "ud") {  // the Unicode alternative of an \upr group
            st.skip = false;
            return;
        }
        if (star || skippedDestination(w)) {
            st.skip = true;
            if (star || w == "pict" || w == "object" || w == "shpinst" || w == "nonshppict" || w == "themedata"
                || w == "datastore") {
                tok_.skipGroup();  // large data: not even tokenised
            }
            return;
        }
        if (w == "fonttbl") {
            st.skip = true;
            st.fontTable = true;
            return;
        }
        if (st.fontTable) {
            if (w == "f" && t.hasParam)
                tableFont_ = t.param;
            else if (w == "fcharset" && t.hasParam && tableFont_ >= 0)
                fontCodepages_[tableFont_] = rtf::charsetCodepage(t.param);
            else if (w == "cpg" && t.hasParam && tableFont_ >= 0 && t.param > 0)
                fontCodepages_[tableFont_] = t.param;
            return;
        }
        if (w == "u" && t.hasParam) {
            if (!st.skip)
                out_ += QChar(char16_t(t.param < 0 ? t.param + 65536 : t.param));
            skip_ = st.uc;
            return;
        }
        const bool dropped = consumeSkip();
        if (w == "uc" && t.hasParam)
            st.uc = std::max(0, std::min(t.param, 8));
        else if (w == "ansicpg" && t.hasParam)
            docCodepage_ = t.param;
        else if (w == "f" && t.hasParam)
            st.font = t.param;
        else if (w == "upr")
            st.skip = true;  // its ANSI text; the \ud group inside is read
        else if (!st.skip && !dropped) {
            if (w == "par" || w == "line" || w == "tab" || w == "cell" || w == "row" || w == "nestcell" || w == "sect"
                || w == "page" || w == "emspace" || w == "enspace" || w == "qmspace")
                out_ += QLatin1Char(' ');
            else if (w == "emdash")
                out_ += QChar(0x2014);
            else if (w == "endash")
                out_ += QChar(0x2013);
            else if (w == "lquote")
                out_ += QChar(0x2018);
            else if (w == "rquote")
                out_ += QChar(0x2019);
            else if (w == "ldblquote")
                out_ += QChar(0x201C);
            else if (w == "rdblquote")
                out_ += QChar(0x201D);
            else if (w == "bullet")
                out_ += QChar(0x2022);
        }
    }

    void takeBytes(std::string_view bytes, const GroupState& st)
    {
        while (!bytes.empty() && skip_ > 0) {
            bytes.remove_prefix(1);
            --skip_;
        }
        if (st.skip || bytes.empty())
            return;
        const int cp = codepageOf(st);
        if (!pending_.isEmpty() && cp != pendingCodepage_)
            flush(st);
        pendingCodepage_ = cp;
        pending_.append(bytes.data(), qsizetype(bytes.size()));
    }

    int codepageOf(const GroupState& st) const
    {
        const auto it = fontCodepages_.find(st.font);
        return it != fontCodepages_.end() && *it ? *it : docCodepage_;
    }

    void flush(const GroupState&)
    {
        if (pending_.isEmpty())
            return;
        out_ += decoder_.decode(pending_, pendingCodepage_, true);
        pending_.clear();
    }

    rtf::Tokenizer tok_;
    rtf::Decoder decoder_;
    QString out_;
    QByteArray pending_;
    int pendingCodepage_ = 0;
    int docCodepage_ = 0;
    int tableFont_ = -1;
    int skip_ = 0;
    QHash<int, int> fontCodepages_;
};

}  // namespace

QString rtfText(QByteArrayView rtf)
{
    if (!RtfReader::looksLikeRtf(rtf))
        return RtfReader::textOfPlainFile(rtf);
    return TextReader(rtf).run();
}

}  // namespace qm
