#include "i18n/message_match.h"

#include <cctype>
#include <vector>

namespace {

// One piece of a format: literal text, a number or a string.
struct FormatPiece {
    enum Kind { LITERAL, NUMBER, STRING } nKind;
    std::string strLiteral;
};

bool IsLengthModifier(char ch)
{
    return ch == 'l' || ch == 'h' || ch == 'z' || ch == 'j' || ch == 't';
}

// False for a format with a specifier other than those the engine's texts use.
bool SplitFormat(std::string_view strFormat, std::vector<FormatPiece>* pPieces)
{
    std::string strLiteral;
    auto flush = [&] {
        if (!strLiteral.empty())
            pPieces->push_back({FormatPiece::LITERAL, std::move(strLiteral)});
        strLiteral.clear();
    };
    for (size_t i = 0; i < strFormat.size(); ++i) {
        if (strFormat[i] != '%') {
            strLiteral += strFormat[i];
            continue;
        }
        size_t j = i + 1;
        while (j < strFormat.size() && IsLengthModifier(strFormat[j]))
            ++j;
        if (j >= strFormat.size())
            return false;
        const char chKind = strFormat[j];
        if (chKind == '%' && j == i + 1) {
            strLiteral += '%';
        } else if (chKind == 'd' || chKind == 'i' || chKind == 'u') {
            flush();
            pPieces->push_back({FormatPiece::NUMBER, {}});
        } else if (chKind == 's') {
            flush();
            pPieces->push_back({FormatPiece::STRING, {}});
        } else {
            return false;
        }
        i = j;
    }
    flush();
    return true;
}

// Matches pieces[nPiece...] against strText[nPos...]; the values go to pValues.
bool Match(const std::vector<FormatPiece>& pieces, size_t nPiece, std::string_view strText, size_t nPos,
           std::vector<std::string>* pValues)
{
    if (nPiece == pieces.size())
        return nPos == strText.size();
    const FormatPiece& piece = pieces[nPiece];
    if (piece.nKind == FormatPiece::LITERAL) {
        return strText.substr(nPos, piece.strLiteral.size()) == piece.strLiteral &&
               Match(pieces, nPiece + 1, strText, nPos + piece.strLiteral.size(), pValues);
    }
    size_t nEnd = nPos;
    if (piece.nKind == FormatPiece::NUMBER) {
        if (nEnd < strText.size() && strText[nEnd] == '-')
            ++nEnd;
        const size_t nDigits = nEnd;
        while (nEnd < strText.size() && std::isdigit(static_cast<unsigned char>(strText[nEnd])))
            ++nEnd;
        if (nEnd == nDigits)
            return false;
        pValues->emplace_back(strText.substr(nPos, nEnd - nPos));
        if (Match(pieces, nPiece + 1, strText, nEnd, pValues))
            return true;
        pValues->pop_back();
        return false;
    }
    for (; nEnd <= strText.size(); ++nEnd) {
        pValues->emplace_back(strText.substr(nPos, nEnd - nPos));
        if (Match(pieces, nPiece + 1, strText, nEnd, pValues))
            return true;
        pValues->pop_back();
    }
    return false;
}

}  // namespace

std::optional<std::string> FillTranslatedFormat(std::string_view strEnglishFormat, std::string_view strTranslatedFormat,
                                                std::string_view strText)
{
    std::vector<FormatPiece> english;
    std::vector<FormatPiece> translated;
    if (!SplitFormat(strEnglishFormat, &english) || !SplitFormat(strTranslatedFormat, &translated))
        return std::nullopt;
    std::vector<std::string> values;
    if (!Match(english, 0, strText, 0, &values))
        return std::nullopt;
    std::string strResult;
    size_t nValue = 0;
    for (const FormatPiece& piece : translated) {
        if (piece.nKind == FormatPiece::LITERAL) {
            strResult += piece.strLiteral;
        } else if (nValue < values.size()) {
            strResult += values[nValue++];
        } else {
            return std::nullopt;
        }
    }
    return strResult;
}
