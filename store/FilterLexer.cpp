#include "store/FilterLexer.h"

#include <charconv>

namespace wl::store {

namespace {

bool isIdentifierStart(QChar c)
{
    return c.isLetter() || c == QLatin1Char('_');
}

bool isIdentifierPart(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

class Scanner
{
public:
    explicit Scanner(const QString& text) : s(text) {}

    bool run(std::vector<FilterToken>& tokens, QString& error)
    {
        while (true) {
            skipBlanks();
            FilterToken token;
            token.position = int(pos);
            if (pos >= s.size()) {
                tokens.push_back(token);
                return true;
            }
            if (!scanOne(token, error))
                return false;
            tokens.push_back(std::move(token));
        }
    }

private:
    void skipBlanks()
    {
        while (pos < s.size() && s[pos].isSpace())
            ++pos;
    }

    bool scanOne(FilterToken& token, QString& error)
    {
        const QChar c = s[pos];
        if (c == QLatin1Char('\''))
            return scanText(token, error);
        if (isDigit(c) || ((c == QLatin1Char('-') || c == QLatin1Char('.')) && startsNumber()))
            return scanNumber(token, error);
        if (isIdentifierStart(c)) {
            const qsizetype start = pos;
            while (pos < s.size() && isIdentifierPart(s[pos]))
                ++pos;
            token.kind = FilterToken::Kind::Identifier;
            token.text = s.mid(start, pos - start);
            return true;
        }
        if (c == QLatin1Char('(') || c == QLatin1Char(')')) {
            token.kind = c == QLatin1Char('(') ? FilterToken::Kind::LeftParen
                                               : FilterToken::Kind::RightParen;
            token.text = c;
            ++pos;
            return true;
        }
        return scanOperator(token, error);
    }

    bool startsNumber() const
    {
        qsizetype i = pos + 1;
        if (s[pos] == QLatin1Char('-') && i < s.size() && s[i] == QLatin1Char('.'))
            ++i;
        return i < s.size() && isDigit(s[i]);
    }

    bool scanText(FilterToken& token, QString& error)
    {
        ++pos; // opening quote
        QString value;
        while (pos < s.size()) {
            if (s[pos] == QLatin1Char('\'')) {
                if (pos + 1 < s.size() && s[pos + 1] == QLatin1Char('\'')) {
                    value += QLatin1Char('\'');
                    pos += 2;
                    continue;
                }
                ++pos;
                token.kind = FilterToken::Kind::Text;
                token.text = value;
                return true;
            }
            value += s[pos++];
        }
        error = QStringLiteral("Unterminated text at position %1").arg(token.position + 1);
        return false;
    }

    bool scanNumber(FilterToken& token, QString& error)
    {
        const qsizetype start = pos;
        if (s[pos] == QLatin1Char('-'))
            ++pos;
        while (pos < s.size() && isDigit(s[pos]))
            ++pos;
        if (pos < s.size() && s[pos] == QLatin1Char('.')) {
            ++pos;
            while (pos < s.size() && isDigit(s[pos]))
                ++pos;
        }
        if (pos < s.size() && isIdentifierPart(s[pos])) {
            error = QStringLiteral("Invalid number at position %1").arg(start + 1);
            return false;
        }
        token.text = s.mid(start, pos - start);
        // The language fixes the decimal point, so the text is read without any locale.
        const QByteArray latin = token.text.toLatin1();
        const auto result =
            std::from_chars(latin.constData(), latin.constData() + latin.size(), token.number);
        if (result.ec != std::errc() || result.ptr != latin.constData() + latin.size()) {
            error = QStringLiteral("Invalid number at position %1").arg(start + 1);
            return false;
        }
        token.kind = FilterToken::Kind::Number;
        return true;
    }

    bool scanOperator(FilterToken& token, QString& error)
    {
        static const char* const operators[] = {"<>", "<=", ">=", "=", "<", ">"};
        for (const char* op : operators) {
            const QLatin1StringView view(op);
            if (QStringView(s).mid(pos).startsWith(view)) {
                token.kind = FilterToken::Kind::Operator;
                token.text = view;
                pos += view.size();
                return true;
            }
        }
        error = QStringLiteral("Unexpected character '%1' at position %2").arg(s[pos]).arg(pos + 1);
        return false;
    }

    const QString& s;
    qsizetype pos = 0;
};

} // namespace

bool FilterLexer::tokenize(const QString& expression, std::vector<FilterToken>& tokens,
                           QString& error)
{
    tokens.clear();
    return Scanner(expression).run(tokens, error);
}

} // namespace wl::store
