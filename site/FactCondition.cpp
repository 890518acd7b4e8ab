#include "site/FactCondition.h"

#include "site/FactQuestions.h"

namespace FactCondition {

namespace {

using Value = std::optional<bool>;

QStringList tokenize(const QString &text, QString *error) {
    QStringList tokens;
    qsizetype i = 0;
    while (i < text.size()) {
        const QChar c = text.at(i);
        if (c.isSpace()) {
            ++i;
        } else if (c == QLatin1Char('(') || c == QLatin1Char(')') || c == QLatin1Char('=')) {
            tokens.append(c);
            ++i;
        } else if (c == QLatin1Char('!') && text.mid(i, 2) == QLatin1String("!=")) {
            tokens.append(QStringLiteral("!="));
            i += 2;
        } else if (c == QLatin1Char('"')) {
            const qsizetype end = text.indexOf(QLatin1Char('"'), i + 1);
            if (end < 0) {
                *error = QStringLiteral("a quoted word is not closed");
                return {};
            }
            tokens.append(text.mid(i, end - i + 1));
            i = end + 1;
        } else {
            qsizetype end = i;
            while (end < text.size() && !text.at(end).isSpace() &&
                   !QStringLiteral("()=!\"").contains(text.at(end)))
                ++end;
            if (end == i) {
                *error = QStringLiteral("\"%1\" is out of place").arg(c);
                return {};
            }
            tokens.append(text.mid(i, end - i));
            i = end;
        }
    }
    return tokens;
}

class Evaluator {
public:
    Evaluator(const QStringList &tokens, const World &world) : m_tokens(tokens), m_world(world) {}

    Result run() {
        Result result;
        const Value value = orExpr();
        if (m_error.isEmpty() && m_at < m_tokens.size())
            m_error = QStringLiteral("\"%1\" is out of place").arg(m_tokens.at(m_at));
        if (m_error.isEmpty() && m_tokens.isEmpty())
            m_error = QStringLiteral("the condition is empty");
        if (!m_error.isEmpty()) {
            result.error = m_error;
            return result;
        }
        result.value = value;
        if (!value)
            result.missing = m_missing;
        return result;
    }

private:
    QString peek() const { return m_tokens.value(m_at); }
    QString take() { return m_tokens.value(m_at++); }
    void fail(const QString &message) {
        if (m_error.isEmpty())
            m_error = message;
    }
    void need(const QString &key) {
        if (!m_missing.contains(key))
            m_missing.append(key);
    }

    Value orExpr() {
        Value value = andExpr();
        while (peek() == QLatin1String("or")) {
            take();
            const Value right = andExpr();
            if (value == true || right == true)
                value = true;
            else if (!value || !right)
                value = std::nullopt;
            else
                value = false;
        }
        return value;
    }
    Value andExpr() {
        Value value = unary();
        while (peek() == QLatin1String("and")) {
            take();
            const Value right = unary();
            if (value == false || right == false)
                value = false;
            else if (!value || !right)
                value = std::nullopt;
            else
                value = true;
        }
        return value;
    }
    Value unary() {
        if (peek() == QLatin1String("not")) {
            take();
            const Value value = unary();
            return value ? Value(!*value) : Value();
        }
        if (peek() == QLatin1String("(")) {
            take();
            const Value value = orExpr();
            if (take() != QLatin1String(")"))
                fail(QStringLiteral("a \"(\" is not closed"));
            return value;
        }
        return atom();
    }

    Value atom() {
        const QString word = take();
        if (word.isEmpty() || QStringList{"and", "or", ")", "=", "!="}.contains(word)) {
            fail(word.isEmpty() ? QStringLiteral("the condition ends too soon")
                                : QStringLiteral("\"%1\" is out of place").arg(word));
            return std::nullopt;
        }
        const qsizetype colon = word.indexOf(QLatin1Char(':'));
        if (colon > 0)
            return tagged(word.left(colon), word.mid(colon + 1));
        const FactQuestion *q = FactQuestions::find(word);
        if (!q) {
            fail(QStringLiteral("there is no fact \"%1\"").arg(word));
            return std::nullopt;
        }
        const Facts &facts = *m_world.facts;
        if (peek() == QLatin1String("=") || peek() == QLatin1String("!=")) {
            const bool equal = take() == QLatin1String("=");
            QString other = take();
            if (other.isEmpty() || QStringList{"(", ")", "=", "!="}.contains(other)) {
                fail(QStringLiteral("\"%1\" is compared with nothing").arg(word));
                return std::nullopt;
            }
            if (other.startsWith(QLatin1Char('"')))
                other = other.mid(1, other.size() - 2);
            if (!facts.known(word)) {
                need(word);
                return std::nullopt;
            }
            return (facts.display(word) == other) == equal;
        }
        if (!facts.known(word)) {
            need(word);
            return std::nullopt;
        }
        switch (q->kind) {
        case Facts::Kind::Bool:
            return facts.flag(word);
        case Facts::Kind::List:
            return !facts.list(word).isEmpty();
        case Facts::Kind::Text:
            break;
        }
        return facts.text(word) != QLatin1String("none");
    }

    // Whether any known services.* list holds a service for which test is true; unknown when
    // none does and some lists are open (or only the lists of categories are looked at).
    Value anyService(const QStringList &categories,
                     const std::function<bool(const QString &)> &test) {
        QStringList open;
        for (const QString &category : categories) {
            const QString key = QStringLiteral("services.") + category;
            if (!m_world.facts->known(key)) {
                open.append(key);
                continue;
            }
            for (const QString &id : m_world.facts->list(key)) {
                if (test(id))
                    return true;
            }
        }
        for (const QString &key : std::as_const(open))
            need(key);
        return open.isEmpty() ? Value(false) : Value();
    }

    Value tagged(const QString &tag, const QString &name) {
        if (tag == QLatin1String("page"))
            return m_world.pagePresent && m_world.pagePresent(name);
        if (tag == QLatin1String("category")) {
            if (!FactQuestions::categories().contains(name)) {
                fail(QStringLiteral("there is no service category \"%1\"").arg(name));
                return std::nullopt;
            }
            return anyService({name}, [](const QString &) { return true; });
        }
        if (tag == QLatin1String("service")) {
            const QString category = m_world.categoryOf ? m_world.categoryOf(name) : QString();
            return anyService(category.isEmpty() ? FactQuestions::categories()
                                                 : QStringList{category},
                              [&](const QString &id) { return id == name; });
        }
        if (tag == QLatin1String("sells") && name == QLatin1String("california"))
            return anyService(FactQuestions::categories(), [&](const QString &id) {
                return m_world.sellsInCalifornia && m_world.sellsInCalifornia(id);
            });
        fail(QStringLiteral("\"%1:%2\" is no condition").arg(tag, name));
        return std::nullopt;
    }

    const QStringList m_tokens;
    const World &m_world;
    qsizetype m_at = 0;
    QString m_error;
    QStringList m_missing;
};

} // namespace

Result evaluate(const QString &condition, const World &world) {
    QString error;
    const QStringList tokens = tokenize(condition, &error);
    if (!error.isEmpty())
        return {std::nullopt, {}, error};
    return Evaluator(tokens, world).run();
}

} // namespace FactCondition
