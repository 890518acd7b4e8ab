#include "site/FactsFile.h"

#include "controllib/QkFile.h"
#include "core/LocalPath.h"
#include "site/FactQuestions.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <toml++/toml.h>

namespace FactsFile {

namespace {

QString at(const QString &fileName, const toml::source_region &where, const QString &message) {
    return QStringLiteral("%1:%2:%3: %4")
        .arg(fileName)
        .arg(where.begin.line)
        .arg(where.begin.column)
        .arg(message);
}

QString fromStd(std::string_view s) {
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

// The value of node as the question's kind wants it; an empty QVariant for "" (open); nothing
// and *problem set when the kind is wrong.
std::optional<QVariant> answer(const toml::node &node, Facts::Kind kind, QString *problem) {
    if (const auto *s = node.as_string()) {
        const QString text = fromStd(s->get());
        if (text.isEmpty())
            return QVariant();
        if (kind == Facts::Kind::Text)
            return QVariant(text);
    }
    if (kind == Facts::Kind::Bool) {
        if (const auto *b = node.as_boolean())
            return QVariant(b->get());
        *problem = QStringLiteral("the answer must be true or false (or \"\" while open)");
        return std::nullopt;
    }
    if (kind == Facts::Kind::List) {
        if (const auto *array = node.as_array()) {
            QStringList ids;
            for (const toml::node &item : *array) {
                const auto *s = item.as_string();
                if (!s) {
                    *problem = QStringLiteral("the list may hold only service ids in quotes");
                    return std::nullopt;
                }
                ids.append(fromStd(s->get()));
            }
            return QVariant(ids);
        }
        *problem = QStringLiteral("the answer must be a list of service ids, [] for none (or \"\" "
                                  "while open)");
        return std::nullopt;
    }
    *problem = QStringLiteral("the answer must be a text in quotes");
    return std::nullopt;
}

QString quoted(const QString &text) {
    QString out = QStringLiteral("\"");
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '"':
            out += QStringLiteral("\\\"");
            break;
        case '\\':
            out += QStringLiteral("\\\\");
            break;
        case '\n':
            out += QStringLiteral("\\n");
            break;
        case '\t':
            out += QStringLiteral("\\t");
            break;
        default:
            if (c.unicode() < 0x20 || c.unicode() == 0x7f)
                out += QStringLiteral("\\u%1").arg(int(c.unicode()), 4, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    return out + QLatin1Char('"');
}

// text as comment lines of at most 100 characters where its words allow.
QString comment(const QString &text) {
    QString out, line = QStringLiteral("#");
    for (const QString &word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (line.size() > 1 && line.size() + 1 + word.size() > 100) {
            out += line + QLatin1Char('\n');
            line = QStringLiteral("#");
        }
        line += QLatin1Char(' ') + word;
    }
    return out + line + QLatin1Char('\n');
}

QString answerText(const Facts &facts, const FactQuestion &q) {
    if (!facts.known(q.key))
        return QStringLiteral("\"\"");
    const QVariant v = facts.value(q.key);
    switch (q.kind) {
    case Facts::Kind::Bool:
        return v.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    case Facts::Kind::List: {
        QStringList items;
        for (const QString &id : v.toStringList())
            items.append(quoted(id));
        return QLatin1Char('[') + items.join(QStringLiteral(", ")) + QLatin1Char(']');
    }
    case Facts::Kind::Text:
        break;
    }
    return quoted(facts.display(q.key));
}

} // namespace

bool parse(const QByteArray &toml, const QString &fileName, Facts &facts, QString *error,
           QStringList *warnings) {
    toml::table root;
    try {
        root = toml::parse(std::string_view(toml.constData(), size_t(toml.size())),
                           fileName.toStdString());
    } catch (const toml::parse_error &e) {
        if (error)
            *error = at(fileName, e.source(), fromStd(e.description()));
        return false;
    }
    Facts read;
    QStringList unknown;
    QString problem;
    bool failed = false;
    const auto unknownKey = [&](const QString &key, const toml::node &node) {
        unknown.append(
            at(fileName, node.source(),
               QStringLiteral("no question has the key \"%1\"; it is ignored").arg(key)));
    };
    for (const auto &[section, node] : root) {
        const QString part = fromStd(section.str());
        const toml::table *table = node.as_table();
        if (!table) {
            unknownKey(part, node);
            continue;
        }
        for (const auto &[name, value] : *table) {
            const QString key = part + QLatin1Char('.') + fromStd(name.str());
            const FactQuestion *q = FactQuestions::find(key);
            if (!q) {
                unknownKey(key, value);
                continue;
            }
            const std::optional<QVariant> got = answer(value, q->kind, &problem);
            if (!got) {
                if (error && !failed)
                    *error = at(fileName, value.source(), key + QStringLiteral(": ") + problem);
                failed = true;
                continue;
            }
            if (got->isValid())
                read.set(key, *got);
        }
    }
    if (failed)
        return false;
    facts = read;
    if (warnings)
        *warnings += unknown;
    return true;
}

bool load(const QString &path, Facts &facts, QString *error, QStringList *warnings) {
    QByteArray bytes;
    QString reason;
    if (!QkFile::readBytes(bytes, path, &reason)) {
        if (error)
            *error = path + QStringLiteral(": ") + reason;
        return false;
    }
    return parse(bytes, path, facts, error, warnings);
}

QString write(const Facts &facts, const QMap<QString, QStringList> &notes) {
    QString out = QStringLiteral(
        "# The facts about a web site that its legal pages state, as answers to plain questions.\n"
        "# Clausewright writes a page only when every fact the page needs is answered here. Each\n"
        "# question stands above its answer; an answer of \"\" is still open. Keep this file with "
        "the\n"
        "# site's sources, outside the folder that is published.\n");
    QString section;
    for (const FactQuestion &q : FactQuestions::all()) {
        const QString part = q.key.section(QLatin1Char('.'), 0, 0);
        if (part != section) {
            section = part;
            out += QStringLiteral("\n[%1]\n").arg(part);
        } else {
            out += QLatin1Char('\n');
        }
        out += comment(q.answers.isEmpty()
                           ? q.question
                           : q.question + QStringLiteral(" (") + q.answers + QLatin1Char(')'));
        for (const QString &note : notes.value(q.key))
            out += comment(note);
        out += q.key.section(QLatin1Char('.'), 1) + QStringLiteral(" = ") + answerText(facts, q) +
               QLatin1Char('\n');
    }
    return out;
}

QString defaultPath(const QString &siteFolder) {
    // By the folder's bytes: a site folder whose name is not UTF-8 may be held as
    // /proc/self/fd/N, and its parent may be one too.
    const QByteArray site =
        LocalPath::local(QDir::cleanPath(QFileInfo(siteFolder).absoluteFilePath()));
    const qsizetype slash = site.lastIndexOf('/');
    const QByteArray parent = slash <= 0 ? QByteArray("/") : site.left(slash);
    const QString name =
        slash + 1 >= site.size() ? QStringLiteral("site") : QFile::decodeName(site.mid(slash + 1));
    const QString openable = LocalPath::openable(parent);
    return QDir(openable.isEmpty() ? QFile::decodeName(parent) : openable)
        .filePath(name + QStringLiteral("-legal-facts.toml"));
}

} // namespace FactsFile
