#include "site/ServiceCatalogue.h"

#include "core/FolderListing.h"
#include "site/HtmlText.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QVarLengthArray>

#include <toml++/toml.h>

#include <algorithm>
#include <bitset>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

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

// ---------------------------------------------------------------------------------------------
// The matcher's tables, made once per catalogue.

struct ServiceCatalogue::Index {
    enum class HostKind { Domain, AnyTopLevel, AnyHost };
    struct Rule {
        int service;
        HostKind kind;
        QByteArray path;  // lower case, "" or starting with "/"
        QByteArray param; // lower case, without "?"
        int weight;
    };
    struct Table {
        struct KeyHash {
            using is_transparent = void;
            std::size_t operator()(std::string_view key) const {
                return std::hash<std::string_view>{}(key);
            }
        };
        // "youtube.com", "amazon.*"
        std::unordered_map<std::string, QList<int>, KeyHash, std::equal_to<>> byHost;
        QList<int> anyHost;
        QList<Rule> rules;
    };
    Table loads;
    Table links;

    struct Marker {
        QByteArray text;
        int service;
    };
    QList<Marker> markers;
    QHash<quint32, QList<int>> markersByHead; // the first four bytes of a marker
    std::bitset<65536> heads;
    // A skip table over pairs of bytes (as in Wu and Manber's search): how far a window of the
    // shortest marker's length may move on when its last two bytes are this pair.
    int shortest = 0;
    std::vector<quint8> shift;

    static int pair(const char *p) { return quint8(p[0]) << 8 | quint8(p[1]); }

    static quint32 head(const char *p) {
        quint32 value;
        std::memcpy(&value, p, 4);
        return value;
    }
    static int slot(quint32 head) { return int((head * 2654435761u) >> 16); }

    static void add(Table &table, int service, const QString &ruleText) {
        const QByteArray rule = ruleText.toUtf8().toLower();
        qsizetype hostEnd = rule.size();
        for (char stop : {'/', '?'}) {
            const qsizetype at = rule.indexOf(stop);
            if (at >= 0 && at < hostEnd)
                hostEnd = at;
        }
        const QByteArray host = rule.left(hostEnd);
        const qsizetype question = rule.indexOf('?', hostEnd);
        Rule r;
        r.service = service;
        r.path = rule.mid(hostEnd, question < 0 ? -1 : question - hostEnd);
        r.param = question < 0 ? QByteArray() : rule.mid(question + 1);
        r.weight = int(host.size() + r.path.size() + r.param.size());
        const int at = int(table.rules.size());
        if (host == "*") {
            r.kind = HostKind::AnyHost;
            table.anyHost.append(at);
        } else {
            r.kind = host.endsWith(".*") ? HostKind::AnyTopLevel : HostKind::Domain;
            table.byHost[host.toStdString()].append(at);
        }
        table.rules.append(r);
    }
};

void ServiceCatalogue::buildIndex() {
    auto index = std::make_shared<Index>();
    for (int s = 0; s < m_services.size(); ++s) {
        const ServiceDetection &d = m_services.at(s).detection;
        for (const QString &rule : d.loads)
            Index::add(index->loads, s, rule);
        for (const QString &rule : d.links)
            Index::add(index->links, s, rule);
        for (const QString &marker : d.inlines) {
            const QByteArray bytes = marker.toUtf8();
            if (bytes.size() < 4)
                continue; // parse() refuses these; a hand-made catalogue may hold one
            const int at = int(index->markers.size());
            index->markers.append({bytes, s});
            const quint32 head = Index::head(bytes.constData());
            index->markersByHead[head].append(at);
            index->heads.set(std::size_t(Index::slot(head)));
        }
    }
    if (!index->markers.isEmpty()) {
        int m = std::numeric_limits<int>::max();
        for (const Index::Marker &marker : index->markers)
            m = std::min(m, int(marker.text.size()));
        m = std::min(m, 255);
        index->shortest = m;
        index->shift.assign(65536, quint8(m - 1));
        for (const Index::Marker &marker : index->markers) {
            for (int j = 0; j + 1 < m; ++j) {
                quint8 &shift = index->shift[std::size_t(Index::pair(marker.text.constData() + j))];
                shift = std::min(shift, quint8(m - 2 - j));
            }
        }
    }
    m_index = index;
}

// ---------------------------------------------------------------------------------------------

const QStringList &ServiceCatalogue::categories() {
    static const QStringList names{QStringLiteral("analytics"),  QStringLiteral("advertising"),
                                   QStringLiteral("affiliate"),  QStringLiteral("embed"),
                                   QStringLiteral("newsletter"), QStringLiteral("comments"),
                                   QStringLiteral("fonts"),      QStringLiteral("payments"),
                                   QStringLiteral("consent"),    QStringLiteral("other")};
    return names;
}

QString ServiceCatalogue::folderIn(const QString &dataFolder) {
    return dataFolder + QStringLiteral("/templates/services");
}

ServiceCatalogue::ServiceCatalogue() {
    buildIndex();
}

ServiceCatalogue::ServiceCatalogue(QList<Service> services) : m_services(std::move(services)) {
    buildIndex();
}

std::optional<Service> ServiceCatalogue::parse(const QByteArray &bytes, const QString &id,
                                               const QString &fileName, QString *error) {
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
    if (!s.category.isEmpty() && !categories().contains(s.category))
        read.fail(root.get("category")->source().begin,
                  QStringLiteral("unknown category '%1' (one of: %2)")
                      .arg(s.category, categories().join(QStringLiteral(", "))));
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

ServiceCatalogue ServiceCatalogue::load(const QString &folder) {
    QList<Service> services;
    QStringList errors;
    if (!QFileInfo(folder).isDir()) {
        ServiceCatalogue empty;
        empty.m_errors.append(QStringLiteral("%1: not a folder").arg(folder));
        return empty;
    }
    const QByteArrayList names = FolderListing::localNames(folder, {QStringLiteral("*.toml")});
    for (const QByteArray &local : names) {
        const QString shown = FolderListing::shownName(local);
        const QString path = folder + QLatin1Char('/') + shown;
        QFile file(QFile::decodeName(QFile::encodeName(folder) + '/' + local));
        if (!file.open(QIODevice::ReadOnly)) {
            errors.append(QStringLiteral("%1: %2").arg(path, file.errorString()));
            continue;
        }
        QString error;
        const QString id = shown.chopped(5);
        if (std::optional<Service> service = parse(file.readAll(), id, path, &error))
            services.append(std::move(*service));
        else
            errors.append(error);
    }
    ServiceCatalogue catalogue(std::move(services));
    catalogue.m_errors = errors;
    return catalogue;
}

const Service *ServiceCatalogue::find(const QString &id) const {
    for (const Service &s : m_services) {
        if (s.id == id)
            return &s;
    }
    return nullptr;
}

QList<const Service *> ServiceCatalogue::inCategory(const QString &category) const {
    QList<const Service *> result;
    for (const Service &s : m_services) {
        if (s.category == category)
            result.append(&s);
    }
    return result;
}

// ---------------------------------------------------------------------------------------------

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r';
}

QByteArrayView trimmed(QByteArrayView text) {
    while (!text.isEmpty() && isBlank(text.front()))
        text = text.sliced(1);
    while (!text.isEmpty() && isBlank(text.back()))
        text.chop(1);
    return text;
}

// http://, https:// or //: an address with a host.
bool hasHost(QByteArrayView url) {
    return url.startsWith("//") ||
           (url.size() >= 7 && (qstrnicmp(url.data(), "http://", 7) == 0 ||
                                (url.size() >= 8 && qstrnicmp(url.data(), "https://", 8) == 0)));
}

// An address's parts in lower case, kept in a buffer of its own (so it is never copied).
class Address {
public:
    explicit Address(QByteArrayView raw) {
        raw = trimmed(raw);
        QByteArray decoded;
        if (raw.contains('&')) {
            decoded = HtmlText::decode(raw);
            raw = decoded;
        }
        m_buffer.resize(raw.size());
        for (qsizetype i = 0; i < raw.size(); ++i) {
            const char c = raw[i];
            m_buffer[i] = (c >= 'A' && c <= 'Z') ? char(c + ('a' - 'A')) : c;
        }
        const QByteArrayView url(m_buffer.constData(), m_buffer.size());
        qsizetype at = 0;
        if (url.startsWith("https://"))
            at = 8;
        else if (url.startsWith("http://"))
            at = 7;
        else if (url.startsWith("//"))
            at = 2;
        else {
            // Another scheme (mailto:, data:, javascript:) is no address a service loads from.
            const qsizetype colon = url.indexOf(':');
            const qsizetype slash = url.indexOf('/');
            if (colon >= 0 && (slash < 0 || colon < slash))
                return;
        }
        if (at > 0) {
            qsizetype end = at;
            while (end < url.size() && url[end] != '/' && url[end] != '?' && url[end] != '#')
                ++end;
            QByteArrayView h = url.sliced(at, end - at);
            const qsizetype userEnd = h.lastIndexOf('@');
            if (userEnd >= 0)
                h = h.sliced(userEnd + 1);
            const qsizetype port = h.indexOf(':');
            if (port >= 0)
                h.truncate(port);
            while (h.endsWith('.'))
                h.chop(1);
            host = h;
            at = end;
        }
        qsizetype fragment = url.indexOf('#', at);
        if (fragment < 0)
            fragment = url.size();
        const qsizetype question = url.indexOf('?', at);
        if (question >= 0 && question < fragment) {
            path = url.sliced(at, question - at);
            query = url.sliced(question + 1, fragment - question - 1);
        } else {
            path = url.sliced(at, fragment - at);
        }
        usable = true;
    }
    Address(const Address &) = delete;
    Address &operator=(const Address &) = delete;

    bool usable = false;
    QByteArrayView host;  // without port or user; empty for a relative address
    QByteArrayView path;  // from "/" (or as written, when relative)
    QByteArrayView query; // without "?"

private:
    QVarLengthArray<char, 512> m_buffer;
};

bool hasParam(QByteArrayView query, QByteArrayView param) {
    qsizetype at = 0;
    while (at <= query.size()) {
        qsizetype end = at;
        while (end < query.size() && query[end] != '&' && query[end] != ';')
            ++end;
        if (query.sliced(at, end - at).startsWith(param))
            return true;
        at = end + 1;
    }
    return false;
}

std::string_view view(QByteArrayView bytes) {
    return std::string_view(bytes.data(), std::size_t(bytes.size()));
}

} // namespace

QList<ServiceCatalogue::Hit> ServiceCatalogue::hits(QByteArrayView url, Use use) const {
    QList<Hit> result;
    const Index::Table &table = use == Use::Load ? m_index->loads : m_index->links;
    // Most links of a page are the site's own: no rule can match them.
    if (table.anyHost.isEmpty() && !hasHost(trimmed(url)))
        return result;
    const Address a(url);
    if (!a.usable)
        return result;
    auto consider = [&](int ruleAt) {
        const Index::Rule &r = table.rules.at(ruleAt);
        const bool pathFits = r.kind == Index::HostKind::AnyHost ? a.path.contains(r.path)
                                                                 : a.path.startsWith(r.path);
        if (pathFits && (r.param.isEmpty() || hasParam(a.query, r.param)))
            result.append({r.service, r.weight});
    };
    auto lookUp = [&](std::string_view key) {
        if (const auto it = table.byHost.find(key); it != table.byHost.end())
            for (int r : it->second)
                consider(r);
    };
    if (!a.host.isEmpty() && !table.byHost.empty()) {
        // Every dotted ending of the host: "www.youtube.com", "youtube.com", "com"; and each with
        // its top-level part left open: "amazon.co.uk" -> "amazon.*".
        char open[256];
        qsizetype at = 0;
        while (at >= 0 && at < a.host.size()) {
            const QByteArrayView ending = a.host.sliced(at);
            lookUp(view(ending));
            const qsizetype dot = ending.indexOf('.');
            if (dot > 0 && dot + 2 <= qsizetype(sizeof open) &&
                ending.sliced(dot + 1).count('.') <= 1) {
                std::memcpy(open, ending.data(), std::size_t(dot));
                open[dot] = '.';
                open[dot + 1] = '*';
                lookUp(std::string_view(open, std::size_t(dot + 2)));
            }
            at = dot < 0 ? -1 : at + dot + 1;
        }
    }
    for (int r : table.anyHost)
        consider(r);
    return result;
}

const Service *ServiceCatalogue::matchUrl(QByteArrayView url, Use use) const {
    int best = -1;
    int bestWeight = -1;
    for (const Hit &h : hits(url, use)) {
        if (h.weight > bestWeight || (h.weight == bestWeight && h.service < best)) {
            best = h.service;
            bestWeight = h.weight;
        }
    }
    return best < 0 ? nullptr : &m_services.at(best);
}

QList<const Service *> ServiceCatalogue::matchUrlAll(QByteArrayView url, Use use) const {
    QList<const Service *> result;
    const QList<Hit> found = hits(url, use);
    if (found.isEmpty())
        return result;
    // A service and its variants form a family named by the ordinary one's id.
    auto family = [&](int s) {
        const Service &service = m_services.at(s);
        return service.variantOf.isEmpty() ? service.id : service.variantOf;
    };
    for (int s = 0; s < m_services.size(); ++s) {
        int weight = -1;
        for (const Hit &h : found) {
            if (h.service == s)
                weight = std::max(weight, h.weight);
        }
        if (weight < 0)
            continue;
        const bool beaten = std::any_of(found.begin(), found.end(), [&](const Hit &h) {
            return h.service != s && family(h.service) == family(s) &&
                   (h.weight > weight || (h.weight == weight && h.service < s));
        });
        if (!beaten)
            result.append(&m_services.at(s));
    }
    return result;
}

QList<const Service *> ServiceCatalogue::matchInline(QByteArrayView text) const {
    QList<const Service *> result;
    const Index &index = *m_index;
    const int m = index.shortest;
    if (index.markers.isEmpty() || text.size() < m)
        return result;
    QVarLengthArray<bool, 256> seen(m_services.size());
    std::fill(seen.begin(), seen.end(), false);
    bool any = false;
    const char *p = text.data();
    const qsizetype last = text.size() - m;
    qsizetype i = 0;
    while (i <= last) {
        const int skip = index.shift[std::size_t(Index::pair(p + i + m - 2))];
        if (skip > 0) {
            i += skip;
            continue;
        }
        const quint32 head = Index::head(p + i);
        if (index.heads.test(std::size_t(Index::slot(head)))) {
            if (const auto it = index.markersByHead.constFind(head);
                it != index.markersByHead.cend()) {
                for (int k : *it) {
                    const Index::Marker &marker = index.markers.at(k);
                    if (!seen[marker.service] && text.size() - i >= marker.text.size() &&
                        std::memcmp(p + i, marker.text.constData(),
                                    std::size_t(marker.text.size())) == 0)
                        seen[marker.service] = any = true;
                }
            }
        }
        ++i;
    }
    if (any) {
        for (int s = 0; s < m_services.size(); ++s) {
            if (seen[s])
                result.append(&m_services.at(s));
        }
    }
    return result;
}
