#include "site/ServiceFile.h"

#include "site/ServiceCatalogue.h"

#include <toml++/toml.h>

#include <algorithm>
#include <string_view>

namespace ServiceFile {

namespace {

struct Fault {
    toml::source_position at;
    QString message;
};

QString located(const QString &fileName, const toml::source_position &at, const QString &message) {
    return QStringLiteral("%1:%2:%3: %4")
        .arg(fileName)
        .arg(at.line ? at.line : 1)
        .arg(at.column ? at.column : 1)
        .arg(message);
}

QString text(std::string_view view) {
    return QString::fromUtf8(view.data(), qsizetype(view.size()));
}

// Reads the keys of one service file, recording the first fault.
class Reader {
public:
    explicit Reader(const toml::table &root) : m_root(root) {}

    std::optional<Fault> fault;

    QString string(const toml::table &table, std::string_view key, bool required) {
        const toml::node *node = table.get(key);
        if (!node) {
            if (required)
                fail(table.source().begin, QStringLiteral("'%1' is missing").arg(text(key)));
            return QString();
        }
        if (!node->is_string()) {
            fail(node->source().begin, QStringLiteral("'%1' must be a text").arg(text(key)));
            return QString();
        }
        return text(node->as_string()->get());
    }

    bool boolean(std::string_view key) {
        const toml::node *node = m_root.get(key);
        if (!node) {
            fail(m_root.source().begin, QStringLiteral("'%1' is missing").arg(text(key)));
            return false;
        }
        if (!node->is_boolean()) {
            fail(node->source().begin, QStringLiteral("'%1' must be true or false").arg(text(key)));
            return false;
        }
        return node->as_boolean()->get();
    }

    QStringList strings(const toml::table &table, std::string_view key) {
        QStringList result;
        const toml::node *node = table.get(key);
        if (!node)
            return result;
        const toml::array *array = node->as_array();
        if (!array) {
            fail(node->source().begin,
                 QStringLiteral("'%1' must be a list of texts").arg(text(key)));
            return result;
        }
        for (const toml::node &item : *array) {
            if (!item.is_string()) {
                fail(item.source().begin,
                     QStringLiteral("'%1' must be a list of texts").arg(text(key)));
                return result;
            }
            result.append(text(item.as_string()->get()));
        }
        return result;
    }

    QDate date(std::string_view key) {
        const toml::node *node = m_root.get(key);
        if (!node) {
            fail(m_root.source().begin, QStringLiteral("'%1' is missing").arg(text(key)));
            return QDate();
        }
        if (const auto *value = node->as_date()) {
            const toml::date d = value->get();
            return QDate(d.year, d.month, d.day);
        }
        fail(node->source().begin,
             QStringLiteral("'%1' must be a date (2026-12-06)").arg(text(key)));
        return QDate();
    }

    void fail(const toml::source_position &at, const QString &message) {
        if (!fault)
            fault = Fault{at, message};
    }

private:
    const toml::table &m_root;
};

const std::string_view kKeys[] = {
    "name",        "company",      "company_country",  "category",       "purpose",
    "data",        "sets_cookies", "california_sale",  "data_countries", "transfer_basis",
    "privacy_url", "opt_out_url",  "privacy_enhanced", "variant_of",     "checked",
    "stores",      "detect"};
const std::string_view kDetectKeys[] = {"loads", "links", "inline"};

template <std::size_t N> bool known(const std::string_view (&keys)[N], std::string_view key) {
    return std::find(std::begin(keys), std::end(keys), key) != std::end(keys);
}

// A rule's fault, or an empty text when it is sound.
QString ruleProblem(const QString &rule) {
    if (rule.isEmpty())
        return QStringLiteral("an empty address rule");
    if (rule.contains(QLatin1Char(' ')))
        return QStringLiteral("an address rule holds a blank: '%1'").arg(rule);
    if (rule.startsWith(QLatin1String("http")) || rule.startsWith(QLatin1String("//")))
        return QStringLiteral("an address rule starts with its host, not '%1'").arg(rule);
    return QString();
}

} // namespace

std::optional<Service> parse(const QByteArray &bytes, const QString &id, const QString &fileName,
                             QString *error) {
    toml::table root;
    try {
        root = toml::parse(std::string_view(bytes.constData(), std::size_t(bytes.size())),
                           fileName.toStdString());
    } catch (const toml::parse_error &e) {
        if (error)
            *error = located(fileName, e.source().begin, text(e.description()));
        return std::nullopt;
    }
    Reader read(root);
    for (const auto &[key, node] : root) {
        if (!known(kKeys, key.str()))
            read.fail(key.source().begin, QStringLiteral("unknown key '%1'").arg(text(key.str())));
    }
    Service s;
    s.id = id;
    s.name = read.string(root, "name", true);
    s.company = read.string(root, "company", true);
    s.companyCountry = read.string(root, "company_country", true);
    s.category = read.string(root, "category", true);
    if (!s.category.isEmpty() && !ServiceCatalogue::categories().contains(s.category))
        read.fail(root.get("category")->source().begin,
                  QStringLiteral("unknown category '%1' (one of: %2)")
                      .arg(s.category, ServiceCatalogue::categories().join(QStringLiteral(", "))));
    s.purpose = read.string(root, "purpose", true);
    s.data = read.string(root, "data", false);
    s.setsCookies = read.boolean("sets_cookies");
    s.californiaSale = read.boolean("california_sale");
    s.dataCountries = read.strings(root, "data_countries");
    s.transferBasis = read.string(root, "transfer_basis", false);
    s.privacyUrl = read.string(root, "privacy_url", true);
    s.optOutUrl = read.string(root, "opt_out_url", false);
    if (root.get("privacy_enhanced"))
        s.privacyEnhanced = read.boolean("privacy_enhanced");
    s.variantOf = read.string(root, "variant_of", false);
    s.checked = read.date("checked");

    if (const toml::node *stores = root.get("stores")) {
        const toml::array *list = stores->as_array();
        if (!list || !list->is_array_of_tables())
            read.fail(stores->source().begin,
                      QStringLiteral("'stores' must be a list of tables ([[stores]])"));
        else
            for (const toml::node &item : *list) {
                const toml::table &t = *item.as_table();
                for (const auto &[key, node] : t) {
                    if (key.str() != "name" && key.str() != "duration" && key.str() != "purpose")
                        read.fail(key.source().begin,
                                  QStringLiteral("unknown key 'stores.%1'").arg(text(key.str())));
                }
                s.stores.append({read.string(t, "name", true), read.string(t, "duration", true),
                                 read.string(t, "purpose", true)});
            }
    }
    if (const toml::node *detect = root.get("detect")) {
        if (const toml::table *t = detect->as_table()) {
            for (const auto &[key, node] : *t) {
                if (!known(kDetectKeys, key.str()))
                    read.fail(key.source().begin,
                              QStringLiteral("unknown key 'detect.%1'").arg(text(key.str())));
            }
            s.detection.loads = read.strings(*t, "loads");
            s.detection.links = read.strings(*t, "links");
            s.detection.inlines = read.strings(*t, "inline");
            // Each rule's fault at the rule itself.
            for (std::string_view key : kDetectKeys) {
                const toml::array *items = t->get_as<toml::array>(key);
                if (!items)
                    continue;
                for (const toml::node &item : *items) {
                    const auto *value = item.as_string();
                    if (!value)
                        continue;
                    const QString rule = text(value->get());
                    const QString problem =
                        key == "inline"
                            ? (rule.toUtf8().size() < 4
                                   ? QStringLiteral("an inline text is shorter than 4 bytes: '%1'")
                                         .arg(rule)
                                   : QString())
                            : ruleProblem(rule);
                    if (!problem.isEmpty())
                        read.fail(item.source().begin, problem);
                }
            }
        } else {
            read.fail(detect->source().begin, QStringLiteral("'detect' must be a table"));
        }
    }
    if (read.fault) {
        if (error)
            *error = located(fileName, read.fault->at, read.fault->message);
        return std::nullopt;
    }
    return s;
}

} // namespace ServiceFile
