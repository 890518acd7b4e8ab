#include "site/ServiceMatcher.h"

#include "site/HtmlText.h"

#include <QHash>
#include <QVarLengthArray>

#include <algorithm>
#include <bitset>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// The look-up tables, made once per list of services.
struct ServiceMatcher::Tables {
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

ServiceMatcher::ServiceMatcher(const QList<Service> &services) {
    auto index = std::make_unique<Tables>();
    for (int s = 0; s < services.size(); ++s) {
        const ServiceDetection &d = services.at(s).detection;
        for (const QString &rule : d.loads)
            Tables::add(index->loads, s, rule);
        for (const QString &rule : d.links)
            Tables::add(index->links, s, rule);
        for (const QString &marker : d.inlines) {
            const QByteArray bytes = marker.toUtf8();
            if (bytes.size() < 4)
                continue; // parse() refuses these; a hand-made catalogue may hold one
            const int at = int(index->markers.size());
            index->markers.append({bytes, s});
            const quint32 head = Tables::head(bytes.constData());
            index->markersByHead[head].append(at);
            index->heads.set(std::size_t(Tables::slot(head)));
        }
    }
    if (!index->markers.isEmpty()) {
        int m = std::numeric_limits<int>::max();
        for (const Tables::Marker &marker : index->markers)
            m = std::min(m, int(marker.text.size()));
        m = std::min(m, 255);
        index->shortest = m;
        index->shift.assign(65536, quint8(m - 1));
        for (const Tables::Marker &marker : index->markers) {
            for (int j = 0; j + 1 < m; ++j) {
                quint8 &shift =
                    index->shift[std::size_t(Tables::pair(marker.text.constData() + j))];
                shift = std::min(shift, quint8(m - 2 - j));
            }
        }
    }
    m_tables = std::move(index);
    m_count = int(services.size());
}

ServiceMatcher::~ServiceMatcher() = default;

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

QList<ServiceMatcher::Hit> ServiceMatcher::hits(QByteArrayView url, Use use) const {
    QList<Hit> result;
    const Tables::Table &table = use == Use::Load ? m_tables->loads : m_tables->links;
    // Most links of a page are the site's own: no rule can match them.
    if (table.anyHost.isEmpty() && !hasHost(trimmed(url)))
        return result;
    const Address a(url);
    if (!a.usable)
        return result;
    auto consider = [&](int ruleAt) {
        const Tables::Rule &r = table.rules.at(ruleAt);
        const bool pathFits = r.kind == Tables::HostKind::AnyHost ? a.path.contains(r.path)
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

QList<int> ServiceMatcher::inlineHits(QByteArrayView text) const {
    QList<int> result;
    const Tables &index = *m_tables;
    const int m = index.shortest;
    if (index.markers.isEmpty() || text.size() < m)
        return result;
    QVarLengthArray<bool, 256> seen(m_count);
    std::fill(seen.begin(), seen.end(), false);
    bool any = false;
    const char *p = text.data();
    const qsizetype last = text.size() - m;
    qsizetype i = 0;
    while (i <= last) {
        const int skip = index.shift[std::size_t(Tables::pair(p + i + m - 2))];
        if (skip > 0) {
            i += skip;
            continue;
        }
        const quint32 head = Tables::head(p + i);
        if (index.heads.test(std::size_t(Tables::slot(head)))) {
            if (const auto it = index.markersByHead.constFind(head);
                it != index.markersByHead.cend()) {
                for (int k : *it) {
                    const Tables::Marker &marker = index.markers.at(k);
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
        for (int s = 0; s < m_count; ++s) {
            if (seen[s])
                result.append(s);
        }
    }
    return result;
}
