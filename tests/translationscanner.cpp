#include "translationscanner.h"

#include <QFileInfo>
#include <QXmlStreamReader>

namespace {

// ---------------------------------------------------------------- lexer

enum class TokenKind { Identifier, String, Punct };

struct Token {
    TokenKind kind;
    QByteArray text;  // identifier or punctuation; for strings the decoded bytes
    int line;
};

bool isIdentStart(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || u >= 0x80;
}

bool isIdentChar(char c) { return isIdentStart(c) || (c >= '0' && c <= '9'); }

bool isStringPrefix(const QByteArray& ident)
{
    static const QByteArray prefixes[] = {"u8", "u", "U", "L", "R", "u8R", "uR", "UR", "LR"};
    for (const auto& p : prefixes) {
        if (ident == p)
            return true;
    }
    return false;
}

void appendUtf8(QByteArray& out, uint codePoint)
{
    const QString text = QString::fromUcs4(&codePoint, 1);
    out += text.toUtf8();
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

class Lexer {
public:
    explicit Lexer(const QByteArray& code) : s(code) {}

    QVector<Token> run()
    {
        QVector<Token> tokens;
        bool lineStart = true;
        while (pos < s.size()) {
            const char c = s[pos];
            if (c == '\n') {
                ++line;
                ++pos;
                lineStart = true;
            } else if (c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v') {
                ++pos;
            } else if (c == '#' && lineStart) {
                skipPreprocessorLine();
            } else if (startsWith("//")) {
                skipUntil('\n');
            } else if (startsWith("/*")) {
                skipBlockComment();
            } else {
                lineStart = false;
                tokens.append(nextToken());
            }
        }
        return tokens;
    }

private:
    const QByteArray& s;
    int pos = 0;
    int line = 1;

    bool startsWith(const char* text) const { return s.mid(pos, int(qstrlen(text))) == text; }
    char at(int i) const { return i < s.size() ? s[i] : '\0'; }

    void skipUntil(char end)
    {
        while (pos < s.size() && s[pos] != end)
            ++pos;
    }

    void skipPreprocessorLine()
    {
        while (pos < s.size() && s[pos] != '\n') {
            if (s[pos] == '\\' && at(pos + 1) == '\n') {
                ++line;
                ++pos;
            }
            ++pos;
        }
    }

    void skipBlockComment()
    {
        pos += 2;
        while (pos < s.size() && !startsWith("*/")) {
            if (s[pos] == '\n')
                ++line;
            ++pos;
        }
        pos += 2;
    }

    Token nextToken()
    {
        const int startLine = line;
        const char c = s[pos];
        if (isIdentStart(c)) {
            const int start = pos;
            while (pos < s.size() && isIdentChar(s[pos]))
                ++pos;
            const QByteArray ident = s.mid(start, pos - start);
            if (at(pos) == '"' && isStringPrefix(ident))
                return {TokenKind::String, ident.endsWith('R') ? rawString() : quoted('"'), startLine};
            if (at(pos) == '\'' && isStringPrefix(ident) && !ident.endsWith('R')) {
                quoted('\'');
                return {TokenKind::Punct, "'", startLine};
            }
            return {TokenKind::Identifier, ident, startLine};
        }
        if (c >= '0' && c <= '9') {
            while (pos < s.size() && (isIdentChar(s[pos]) || s[pos] == '.' || s[pos] == '\''))
                ++pos;
            return {TokenKind::Punct, "0", startLine};
        }
        if (c == '"')
            return {TokenKind::String, quoted('"'), startLine};
        if (c == '\'') {
            quoted('\'');
            return {TokenKind::Punct, "'", startLine};
        }
        for (const char* two : {"::", "->"}) {
            if (startsWith(two)) {
                pos += 2;
                return {TokenKind::Punct, two, startLine};
            }
        }
        ++pos;
        return {TokenKind::Punct, QByteArray(1, c), startLine};
    }

    // Reads a quoted literal starting at the opening quote; returns its
    // bytes with the escapes decoded.
    QByteArray quoted(char quote)
    {
        QByteArray out;
        ++pos;
        while (pos < s.size() && s[pos] != quote && s[pos] != '\n') {
            if (s[pos] == '\\')
                decodeEscape(out);
            else
                out += s[pos++];
        }
        if (at(pos) == quote)
            ++pos;
        return out;
    }

    void decodeEscape(QByteArray& out)
    {
        ++pos;  // the backslash
        const char e = at(pos++);
        switch (e) {
        case 'n': out += '\n'; return;
        case 't': out += '\t'; return;
        case 'r': out += '\r'; return;
        case 'a': out += '\a'; return;
        case 'b': out += '\b'; return;
        case 'f': out += '\f'; return;
        case 'v': out += '\v'; return;
        case '\n': ++line; return;  // line continuation
        case 'x': {
            int value = 0;
            while (hexValue(at(pos)) >= 0)
                value = value * 16 + hexValue(s[pos++]);
            out += char(value & 0xFF);
            return;
        }
        case 'u':
        case 'U': {
            uint value = 0;
            for (int i = 0; i < (e == 'u' ? 4 : 8) && hexValue(at(pos)) >= 0; ++i)
                value = value * 16 + uint(hexValue(s[pos++]));
            appendUtf8(out, value);
            return;
        }
        default:
            break;
        }
        if (e >= '0' && e <= '7') {
            int value = e - '0';
            for (int i = 0; i < 2 && at(pos) >= '0' && at(pos) <= '7'; ++i)
                value = value * 8 + (s[pos++] - '0');
            out += char(value & 0xFF);
            return;
        }
        out += e;  // \\ \" \' \? and unknown escapes stand for themselves
    }

    // R"delim( … )delim"
    QByteArray rawString()
    {
        ++pos;  // the quote
        const int open = s.indexOf('(', pos);
        if (open < 0) {
            pos = s.size();
            return {};
        }
        const QByteArray end = ")" + s.mid(pos, open - pos) + "\"";
        const int close = s.indexOf(end, open + 1);
        const int stop = close < 0 ? s.size() : close;
        const QByteArray body = s.mid(open + 1, stop - open - 1);
        line += body.count('\n');
        pos = close < 0 ? s.size() : close + end.size();
        return body;
    }
};

// ---------------------------------------------------------------- scopes

struct Scope {
    enum Kind { Namespace, Class, Function, Block } kind;
    QString context;  // empty: not known here, use the file's class
    int parenBase = 0;  // parentheses open when the scope began
    bool inParens = false;  // a brace inside parentheses: default argument, lambda
};

class Scanner {
public:
    Scanner(QVector<Token> tokens, QString fileName)
        : t(std::move(tokens)), file(std::move(fileName))
    {
    }

    QVector<SourceText> run()
    {
        scopes.append({Scope::Namespace, QString()});
        for (int i = 0; i < t.size(); ++i) {
            const QByteArray& x = t[i].text;
            if (t[i].kind == TokenKind::Punct && x == "(") {
                ++parenDepth;
            } else if (t[i].kind == TokenKind::Punct && x == ")") {
                --parenDepth;
            } else if (t[i].kind == TokenKind::Punct && x == "{") {
                if (parenDepth > scopes.last().parenBase) {
                    // Part of the statement around it; the statement goes on.
                    scopes.append({Scope::Block, scopes.last().context, parenDepth, true});
                    continue;
                }
                openScope(i);
                scopes.last().parenBase = parenDepth;
                statementStart = i + 1;
            } else if (t[i].kind == TokenKind::Punct && x == "}") {
                const bool statementGoesOn = scopes.size() > 1 && scopes.last().inParens;
                closeScope(i);
                if (!statementGoesOn)
                    statementStart = i + 1;
            } else if (t[i].kind == TokenKind::Punct && x == ";") {
                statementStart = i + 1;
            } else if (t[i].kind == TokenKind::Identifier) {
                recognizeCall(i);
            }
        }
        const QString fallback = fileClass();
        for (auto& text : texts) {
            if (text.context.isEmpty())
                text.context = fallback;
        }
        return texts;
    }

private:
    QVector<Token> t;
    QString file;
    QVector<Scope> scopes;
    QVector<SourceText> texts;
    QStringList declaredClasses;
    QStringList definedMemberClasses;
    int statementStart = 0;
    int parenDepth = 0;
    int lastFunctionClose = -2;
    QString lastFunctionContext;

    bool isPunct(int i, const char* p) const
    {
        return i >= 0 && i < t.size() && t[i].kind == TokenKind::Punct && t[i].text == p;
    }
    bool isIdent(int i, const char* name = nullptr) const
    {
        return i >= 0 && i < t.size() && t[i].kind == TokenKind::Identifier
               && (!name || t[i].text == name);
    }
    bool isString(int i) const { return i >= 0 && i < t.size() && t[i].kind == TokenKind::String; }

    void openScope(int brace)
    {
        const Scope& outer = scopes.last();
        const int from = statementStart;
        const bool insideBody = outer.kind == Scope::Function || outer.kind == Scope::Block;
        if (insideBody) {
            scopes.append({Scope::Block, outer.context});
            return;
        }
        if (isIdent(from, "namespace") || (isIdent(from, "extern") && isString(from + 1))) {
            scopes.append({Scope::Namespace, outer.context});
            return;
        }
        QString className;
        if (declaresClass(from, brace, &className)) {
            declaredClasses.append(className);
            scopes.append({Scope::Class, className});
            return;
        }
        if (continuesConstructor(from, brace)) {
            scopes.append({Scope::Function, lastFunctionContext});
            return;
        }
        const int paren = functionParen(from, brace);
        if (paren < 0) {
            scopes.append({Scope::Block, outer.context});
            return;
        }
        const QString qualifier = qualifierBefore(paren);
        if (!qualifier.isEmpty())
            definedMemberClasses.append(qualifier);
        scopes.append({Scope::Function, qualifier.isEmpty() ? outer.context : qualifier});
    }

    void closeScope(int brace)
    {
        if (scopes.size() <= 1)
            return;
        const Scope closed = scopes.takeLast();
        parenDepth = closed.parenBase;  // resynchronise after unbalanced text
        if (closed.kind == Scope::Function && scopes.last().kind != Scope::Function
            && scopes.last().kind != Scope::Block) {
            lastFunctionClose = brace;
            lastFunctionContext = closed.context;
        }
    }

    // `class X : public Y {`, `struct X {`; not `enum class`, not a
    // keyword inside parentheses, not an initialiser.
    bool declaresClass(int from, int brace, QString* name) const
    {
        int keyword = -1;
        int depth = 0;
        for (int i = from; i < brace; ++i) {
            if (isPunct(i, "("))
                ++depth;
            else if (isPunct(i, ")"))
                --depth;
            else if (isPunct(i, "=") && depth == 0)
                return false;
            else if (depth == 0 && (isIdent(i, "class") || isIdent(i, "struct") || isIdent(i, "union")))
                keyword = isIdent(i - 1, "enum") ? -1 : i;
        }
        if (keyword < 0)
            return false;
        QString last;
        for (int i = keyword + 1; i < brace && !isPunct(i, ":"); ++i) {
            if (isIdent(i) && t[i].text != "final")
                last = QString::fromUtf8(t[i].text);
        }
        *name = last;
        return !last.isEmpty();
    }

    // `X::X() : a{1}, b(2) {`: the body that follows a brace-initialised
    // member belongs to the same constructor.
    bool continuesConstructor(int from, int brace) const
    {
        return lastFunctionClose == from - 1 && (from == brace || isPunct(from, ","));
    }

    // The opening parenthesis of a function definition's parameter list,
    // or -1 when the brace does not open a function body (no parameter
    // list, or an initialiser: '=' comes first).
    int functionParen(int from, int brace) const
    {
        for (int i = from; i < brace; ++i) {
            if (isPunct(i, "="))
                return -1;
            if (isPunct(i, "("))
                return i;
        }
        return -1;
    }

    // For `A::B::f(` returns "B"; for `X::~X(` returns "X".
    QString qualifierBefore(int paren) const
    {
        int name = paren - 1;
        if (!isIdent(name))
            return {};
        int colons = name - 1;
        if (isPunct(colons, "~"))
            --colons;
        if (isPunct(colons, "::") && isIdent(colons - 1))
            return QString::fromUtf8(t[colons - 1].text);
        return {};
    }

    // The literals of one argument: adjacent strings, ended by ',' or ')'.
    // Returns the index after the argument, or -1 when it is not literal.
    int literalArgument(int i, QByteArray* bytes) const
    {
        if (!isString(i))
            return -1;
        bytes->clear();
        while (isString(i))
            *bytes += t[i++].text;
        return (isPunct(i, ",") || isPunct(i, ")")) ? i : -1;
    }

    QString enclosingContext() const { return scopes.last().context; }

    void record(const QString& context, const QByteArray& source, const QByteArray& comment, int line)
    {
        if (source.isEmpty())
            return;
        texts.append({context, QString::fromUtf8(source), QString::fromUtf8(comment),
                      QStringLiteral("%1:%2").arg(file).arg(line)});
    }

    // Reads (source [, comment]) from the token after '('.
    void recordArguments(const QString& context, int firstArg, int line)
    {
        QByteArray source;
        QByteArray comment;
        const int after = literalArgument(firstArg, &source);
        if (after < 0)
            return;
        if (isPunct(after, ","))
            literalArgument(after + 1, &comment);
        record(context, source, comment, line);
    }

    void recognizeCall(int i)
    {
        const QByteArray& name = t[i].text;
        if (!isPunct(i + 1, "("))
            return;
        const int line = t[i].line;
        if (name == "tr") {
            const bool qualified = isPunct(i - 1, "::") && isIdent(i - 2);
            recordArguments(qualified ? QString::fromUtf8(t[i - 2].text) : enclosingContext(), i + 2, line);
        } else if (name == "QT_TR_NOOP" || name == "QT_TR_NOOP_UTF8") {
            recordArguments(enclosingContext(), i + 2, line);
        } else if (name == "QT_TRANSLATE_NOOP" || name == "QT_TRANSLATE_NOOP_UTF8"
                   || name == "QT_TRANSLATE_NOOP3" || name == "QT_TRANSLATE_NOOP3_UTF8") {
            recordWithContext(i + 2, line);
        } else if (name == "translate" && isPunct(i - 1, "::")
                   && (isIdent(i - 2, "QCoreApplication") || isIdent(i - 2, "QApplication")
                       || isIdent(i - 2, "QGuiApplication"))) {
            recordWithContext(i + 2, line);
        }
    }

    // ("context", "source" [, "comment"])
    void recordWithContext(int firstArg, int line)
    {
        QByteArray context;
        const int after = literalArgument(firstArg, &context);
        if (after >= 0 && isPunct(after, ","))
            recordArguments(QString::fromUtf8(context), after + 1, line);
    }

    QString fileClass() const
    {
        const QString base = QFileInfo(file).fileName().section(QLatin1Char('.'), 0, 0)
                                 .section(QLatin1Char('_'), 0, 0);
        for (const QStringList* names : {&declaredClasses, &definedMemberClasses}) {
            for (const QString& name : *names) {
                if (name.compare(base, Qt::CaseInsensitive) == 0)
                    return name;
            }
        }
        if (!declaredClasses.isEmpty())
            return declaredClasses.last();
        return definedMemberClasses.isEmpty() ? QString() : definedMemberClasses.first();
    }
};

}  // namespace

QVector<SourceText> scanCppSource(const QByteArray& code, const QString& fileName)
{
    return Scanner(Lexer(code).run(), fileName).run();
}

bool scanUiForm(const QByteArray& xml, const QString& fileName, QVector<SourceText>* texts,
                QString* error)
{
    QXmlStreamReader reader(xml);
    QString context;
    QVector<SourceText> found;
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement)
            continue;
        const auto name = reader.name();
        if (name == QLatin1String("class") && context.isEmpty()) {
            context = reader.readElementText().trimmed();
        } else if (name == QLatin1String("string")) {
            const bool untranslated = reader.attributes().value(QLatin1String("notr")) == QLatin1String("true");
            const QString comment = reader.attributes().value(QLatin1String("comment")).toString();
            const int line = int(reader.lineNumber());
            const QString text = reader.readElementText();
            if (!untranslated && !text.trimmed().isEmpty())
                found.append({QString(), text, comment, QStringLiteral("%1:%2").arg(fileName).arg(line)});
        }
    }
    if (reader.hasError()) {
        *error = QStringLiteral("%1:%2: %3").arg(fileName).arg(reader.lineNumber()).arg(reader.errorString());
        return false;
    }
    if (context.isEmpty() && !found.isEmpty()) {
        *error = QStringLiteral("%1: form without <class>").arg(fileName);
        return false;
    }
    for (auto& text : found)
        text.context = context;
    *texts += found;
    return true;
}
