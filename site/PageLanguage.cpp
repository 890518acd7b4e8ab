#include "site/PageLanguage.h"

#include "site/FactQuestions.h"

#include <QRegularExpression>

namespace PageLanguage {

namespace {

// A mark: [if C] [elif C] [else] [end] [review] [/review] [link N] [list N] [table N] [a.key]
const QRegularExpression &markPattern() {
    static const QRegularExpression pattern(
        QStringLiteral(R"(\[(?:(if|elif|link|list|table) +([^\]\n]+)|(else|end|review|/review)|)"
                       R"(([a-z_]+(?:\.[a-z0-9_]+)+))\])"));
    return pattern;
}

bool blank(QStringView text) {
    for (const QChar c : text) {
        if (c != QLatin1Char(' ') && c != QLatin1Char('\t') && c != QLatin1Char('\r'))
            return false;
    }
    return true;
}

// Whether key begins with the part of a fact's key ("operator." of "operator.vat").
bool factSection(const QString &key) {
    const QString section = key.section(QLatin1Char('.'), 0, 0) + QLatin1Char('.');
    for (const FactQuestion &q : FactQuestions::all()) {
        if (q.key.startsWith(section))
            return true;
    }
    return false;
}

struct Branch {
    bool parentOn;
    bool taken; // a branch of this [if] was taken (or is open in a draft)
    bool on;    // the text now read is written
    bool sawElse;
    int line;
};

class Renderer {
public:
    Renderer(const QString &text, const Context &context) : m_text(text), m_context(context) {}

    Rendered run() {
        qsizetype pos = 0;
        auto it = markPattern().globalMatch(m_text);
        while (it.hasNext()) {
            const QRegularExpressionMatch m = it.next();
            m_line = 1 + int(QStringView(m_text).left(m.capturedStart()).count(QLatin1Char('\n')));
            // A list or a table is a block of lines of its own too.
            const bool block = !m.captured(3).isEmpty() ||
                               QStringList{"if", "elif", "list", "table"}.contains(m.captured(1));
            qsizetype from = m.capturedStart(), to = m.capturedEnd();
            m_alone = false;
            if (block) {
                const qsizetype lineStart =
                    from == 0 ? 0 : m_text.lastIndexOf(QLatin1Char('\n'), from - 1) + 1;
                qsizetype lineEnd = m_text.indexOf(QLatin1Char('\n'), to);
                if (lineEnd < 0)
                    lineEnd = m_text.size();
                if (lineStart >= pos &&
                    blank(QStringView(m_text).mid(lineStart, from - lineStart)) &&
                    blank(QStringView(m_text).mid(to, lineEnd - to))) {
                    from = lineStart;
                    to = qMin(lineEnd + 1, m_text.size());
                    m_alone = true;
                }
            }
            put(m_text.mid(pos, from - pos));
            pos = to;
            mark(m);
        }
        put(m_text.mid(pos));
        for (const Branch &b : std::as_const(m_branches))
            error(b.line, QStringLiteral("[if] has no [end]"));
        if (m_inReview)
            error(m_reviewLine, QStringLiteral("[review] has no [/review]"));
        for (QString line : m_reviewText.split(QLatin1Char('\n'))) {
            line = line.trimmed();
            if (line.startsWith(QLatin1String("- ")) || line.startsWith(QLatin1String("* ")))
                line = line.mid(2).trimmed();
            if (!line.isEmpty())
                m_out.review.append(line);
        }
        return m_out;
    }

private:
    bool on() const { return m_branches.isEmpty() || m_branches.last().on; }
    void put(const QString &text) {
        if (!on())
            return;
        (m_inReview ? m_reviewText : m_out.text) += text;
    }
    void error(int line, const QString &message) {
        m_out.errors.append(QStringLiteral("line %1: %2").arg(line).arg(message));
    }
    void need(const QString &key) {
        if (!m_out.missing.contains(key))
            m_out.missing.append(key);
        if (m_context.draft)
            put(checkMark(key) + (m_alone ? QStringLiteral("\n") : QString()));
    }

    // The condition's value; an open or faulty condition counts as false.
    bool holds(const QString &condition) {
        const FactCondition::Result r = FactCondition::evaluate(condition, m_context.world);
        if (!r.error.isEmpty())
            error(m_line, QStringLiteral("[if %1]: %2").arg(condition, r.error));
        for (const QString &key : r.missing)
            need(key);
        return r.value.value_or(false);
    }

    void mark(const QRegularExpressionMatch &m) {
        const QString word = m.captured(1).isEmpty() ? m.captured(3) : m.captured(1);
        const QString argument = m.captured(2).trimmed();
        if (word == QLatin1String("if")) {
            const bool parentOn = on();
            const bool value = parentOn && holds(argument);
            m_branches.append({parentOn, value, value, false, m_line});
        } else if (word == QLatin1String("elif") || word == QLatin1String("else")) {
            if (m_branches.isEmpty() || m_branches.last().sawElse) {
                error(m_line, QStringLiteral("[%1] without its [if]").arg(word));
                return;
            }
            Branch &b = m_branches.last();
            b.on = false; // the condition is worked out in the [if]'s own context
            bool value = false;
            if (b.parentOn && !b.taken)
                value = word == QLatin1String("else") ? true : holdsIn(b, argument);
            b.on = value;
            b.taken = b.taken || value;
            b.sawElse = word == QLatin1String("else");
        } else if (word == QLatin1String("end")) {
            if (m_branches.isEmpty())
                error(m_line, QStringLiteral("[end] without its [if]"));
            else
                m_branches.removeLast();
        } else if (word == QLatin1String("review")) {
            if (m_inReview)
                error(m_line, QStringLiteral("[review] inside [review]"));
            m_inReview = true;
            m_reviewLine = m_line;
        } else if (word == QLatin1String("/review")) {
            if (!m_inReview)
                error(m_line, QStringLiteral("[/review] without its [review]"));
            m_inReview = false;
        } else if (on()) {
            inlineMark(word, argument, m.captured(4));
        }
    }

    // An [elif] condition: any [CHECK] of a draft goes where the [if]'s parent text is written.
    bool holdsIn(Branch &b, const QString &condition) {
        b.on = true;
        const bool value = holds(condition);
        b.on = false;
        return value;
    }

    void inlineMark(const QString &word, const QString &argument, const QString &key) {
        if (!key.isEmpty()) {
            if (!FactQuestions::find(key)) {
                // A misspelt fact is a fault; other dotted words in brackets ("[fig.2]") are text.
                if (factSection(key))
                    error(m_line, QStringLiteral("[%1]: there is no fact \"%1\"").arg(key));
                else
                    put(QLatin1Char('[') + key + QLatin1Char(']'));
            } else if (!m_context.world.facts || !m_context.world.facts->known(key)) {
                need(key);
            } else {
                put(m_context.world.facts->display(key).toHtmlEscaped().replace(
                    QLatin1Char('\n'), QStringLiteral("<br>\n")));
            }
        } else if (word == QLatin1String("link")) {
            const std::optional<PageLink> link =
                m_context.page ? m_context.page(argument) : std::nullopt;
            if (!link)
                error(m_line, QStringLiteral("[link %1]: that page is neither written nor in the "
                                             "site; put the link inside [if page:%1]")
                                  .arg(argument));
            else
                put(QStringLiteral("<a href=\"%1\">%2</a>")
                        .arg(link->href.toHtmlEscaped(), link->title.toHtmlEscaped()));
        } else if (word == QLatin1String("list")) {
            if (!FactQuestions::categories().contains(argument)) {
                error(m_line,
                      QStringLiteral("[list %1]: there is no such service category").arg(argument));
                return;
            }
            const QString key = QStringLiteral("services.") + argument;
            if (!m_context.world.facts || !m_context.world.facts->known(key))
                need(key);
            else if (m_context.list)
                put(m_context.list(argument));
        } else if (word == QLatin1String("table")) {
            // Every table names the services used; the processing table also says whether
            // consent is asked.
            QStringList needs;
            for (const QString &category : FactQuestions::categories())
                needs.append(QStringLiteral("services.") + category);
            if (argument == QLatin1String("processing"))
                needs.append(QStringLiteral("consent.tool"));
            QStringList open;
            for (const QString &key : std::as_const(needs)) {
                if (!m_context.world.facts || !m_context.world.facts->known(key))
                    open.append(key);
            }
            const std::optional<QString> table =
                m_context.table ? m_context.table(argument) : std::nullopt;
            if (!table)
                error(m_line, QStringLiteral("[table %1]: there is no such table").arg(argument));
            else if (!open.isEmpty())
                for (const QString &key : std::as_const(open))
                    need(key);
            else
                put(*table);
        }
    }

    const QString &m_text;
    const Context &m_context;
    Rendered m_out;
    QList<Branch> m_branches;
    QString m_reviewText;
    bool m_inReview = false;
    bool m_alone = false;
    int m_line = 1;
    int m_reviewLine = 0;
};

} // namespace

Rendered render(const QString &templateText, const Context &context) {
    return Renderer(templateText, context).run();
}

QString checkMark(const QString &key) {
    const FactQuestion *q = FactQuestions::find(key);
    return QStringLiteral("[CHECK: %1]").arg((q ? q->question : key).toHtmlEscaped());
}

} // namespace PageLanguage
