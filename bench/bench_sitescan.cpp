// Times the scan of a site's pages against `grep -rcE` over the same files with an equivalent
// pattern (every catalogue rule as an extended regular expression, one a line, given with -f).
//
//   cw_bench_scan [N] [folder] [rounds]   N pages (default 10000) of about 30 KB made inside
//                                         folder (default: the system's temporary folder);
//                                         rounds timed (default 5)
//
// The pages look like a blog's: a head with style sheets, a font service on half of them, JSON-LD
// and an analytics snippet; a navigation of 40 links; about 20 KB of prose with links and
// pictures, affiliate links on every third page and a video embed on every fifth; a newsletter
// form, a comments loader on every fourth page, a footer and a block of inline code. After one
// warming round each round times both, in alternating order, the scan including the loading of
// the catalogue. It prints each round's ratio of the scan to grep, wall-clock and processor time
// (the latter steadier on a busy machine), and the smallest and the median of each.

#include "site/ServiceCatalogue.h"
#include "site/SiteScan.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

const char *const kWords[] = {"garden", "tomato",  "water", "the",     "soil",  "a",      "light",
                              "seed",   "grow",    "plant", "leaves",  "and",   "window", "summer",
                              "pot",    "compost", "of",    "roots",   "warm",  "green",  "herbs",
                              "basil",  "harvest", "every", "morning", "small", "with"};

quint32 g_seed = 12345;
quint32 next() {
    g_seed = g_seed * 1664525u + 1013904223u;
    return g_seed >> 8;
}

QByteArray sentence() {
    QByteArray s;
    const int words = 8 + int(next() % 14);
    for (int w = 0; w < words; ++w) {
        if (w)
            s += ' ';
        s += kWords[next() % (sizeof kWords / sizeof *kWords)];
    }
    s[0] = char(std::toupper(s[0]));
    return s + ". ";
}

QByteArray page(int i) {
    QByteArray p;
    p += "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
         "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
         "<title>Growing tomatoes, part " +
         QByteArray::number(i) +
         "</title>\n<link rel=\"canonical\" href=\"https://herbcorner.example/posts/" +
         QByteArray::number(i) + ".html\">\n<link rel=\"stylesheet\" href=\"/css/site.css?v=3\">\n";
    if (i % 2 == 0)
        p += "<link rel=\"preconnect\" href=\"https://fonts.gstatic.com\" crossorigin>\n"
             "<link href=\"https://fonts.googleapis.com/css2?family=Inter:wght@400;700&amp;"
             "display=swap\" rel=\"stylesheet\">\n";
    p += "<style>";
    for (int k = 0; k < 40; ++k)
        p += ".c" + QByteArray::number(k) + "{margin:0 auto;padding:" + QByteArray::number(k) +
             "px;color:#333;font:16px/1.5 system-ui,sans-serif}";
    p += "</style>\n<script type=\"application/ld+json\">{\"@context\":\"https://schema.org\","
         "\"@type\":\"BlogPosting\",\"headline\":\"" +
         sentence() + "\",\"author\":{\"@type\":\"Person\",\"name\":\"Ann\"}}</script>\n";
    if (i % 5 != 4)
        p +=
            "<script async src=\"https://www.googletagmanager.com/gtag/js?id=G-ABC123\"></script>\n"
            "<script>window.dataLayer = window.dataLayer || [];function gtag(){dataLayer.push("
            "arguments);}gtag('js', new Date());gtag('config', 'G-ABC123');</script>\n";
    p += "</head>\n<body class=\"post\">\n<header><nav><ul>\n";
    for (int k = 0; k < 40; ++k)
        p += "<li><a href=\"/posts/" + QByteArray::number((i + k) % 10000) +
             ".html\" class=\"nav-link\">" + sentence().left(24) + "</a></li>\n";
    p += "</ul></nav></header>\n<main><article>\n<h1>" + sentence() + "</h1>\n";
    while (p.size() < 24000) {
        p += "<p>" + sentence() + sentence() + "<a href=\"/posts/" +
             QByteArray::number(next() % 10000) + ".html\">" + sentence().left(20) + "</a> " +
             sentence() + "<strong>" + sentence() + "</strong>" + sentence() + "</p>\n";
        if (next() % 6 == 0)
            p += "<h2>" + sentence() + "</h2>\n<img src=\"/img/" + QByteArray::number(next()) +
                 ".jpg\" srcset=\"/img/a-480.jpg 480w, /img/a-800.jpg 800w\" alt=\"" + sentence() +
                 "\" loading=\"lazy\" width=\"800\" height=\"600\">\n";
        if (i % 3 == 0 && next() % 8 == 0)
            p += "<p>We like <a href=\"https://www.amazon.com/dp/B0" + QByteArray::number(next()) +
                 "?tag=herbcorner-20\" rel=\"sponsored nofollow\">this kit</a>.</p>\n";
    }
    if (i % 5 == 0)
        p += i % 10 == 0
                 ? "<iframe width=\"560\" height=\"315\" src=\"https://www.youtube-nocookie"
                   ".com/embed/dQw4w9WgXcQ\" title=\"Video\" allowfullscreen></iframe>\n"
                 : "<iframe width=\"560\" height=\"315\" src=\"https://www.youtube.com/embed/"
                   "dQw4w9WgXcQ\" title=\"Video\" allowfullscreen></iframe>\n";
    p += "</article>\n<aside><div id=\"mc_embed_signup\"><form action=\"https://herbcorner.us21."
         "list-manage.com/subscribe/post?u=0a1b2c&amp;id=3d4e5f\" method=\"post\" "
         "id=\"mc-embedded-subscribe-form\"><input type=\"email\" name=\"EMAIL\" required>"
         "<input type=\"submit\" value=\"Subscribe\"></form></div></aside>\n";
    if (i % 4 == 0)
        p += "<div id=\"disqus_thread\"></div><script>var disqus_config = function () { this.page."
             "url = location.href; };(function() { var d = document, s = d.createElement('script');"
             "s.src = 'https://herbcorner.disqus.com/embed.js';s.setAttribute('data-timestamp', "
             "+new Date());(d.head || d.body).appendChild(s);})();</script>\n";
    p += "</main>\n<footer><p>" + sentence() + "</p><ul>";
    for (int k = 0; k < 12; ++k)
        p += "<li><a href=\"/about/" + QByteArray::number(k) + ".html\">" + sentence().left(16) +
             "</a></li>";
    p += "</ul></footer>\n<script>";
    while (p.size() < 30000)
        p += "(function(){var e=document.querySelectorAll('.nav-link');for(var t=0;t<e.length;t++)"
             "{e[t].addEventListener('click',function(n){n.currentTarget.classList.add('on')})}"
             "})();";
    p += "</script>\n</body>\n</html>\n";
    return p;
}

// Every catalogue rule as an extended regular expression.
QByteArrayList patterns(const ServiceCatalogue &catalogue) {
    QSet<QByteArray> seen;
    QByteArrayList result;
    auto add = [&](const QByteArray &p) {
        if (!p.isEmpty() && !seen.contains(p)) {
            seen.insert(p);
            result.append(p);
        }
    };
    auto escape = [](const QString &text) { return QRegularExpression::escape(text).toUtf8(); };
    for (const Service &s : catalogue.services()) {
        for (const QString &rule : s.detection.loads + s.detection.links) {
            const qsizetype question = rule.indexOf('?');
            const QString address = question < 0 ? rule : rule.left(question);
            const qsizetype slash = address.indexOf('/');
            const QString host = slash < 0 ? address : address.left(slash);
            const QString path = slash < 0 ? QString() : address.mid(slash);
            QByteArray p = host == "*"           ? QByteArray()
                           : host.endsWith(".*") ? escape(host.chopped(2)) + "\\.[a-z.]+"
                                                 : escape(host);
            p += escape(path);
            if (question >= 0)
                p += "[^\"' ]*[?&;]" + escape(rule.mid(question + 1));
            add(p);
        }
        for (const QString &marker : s.detection.inlines)
            add(escape(marker));
    }
    return result;
}

// Wall-clock and processor time (user and system) of one run, in seconds.
struct Timing {
    double wall;
    double cpu;
};

double seconds(const timeval &t) {
    return double(t.tv_sec) + double(t.tv_usec) / 1e6;
}

double cpuOfSelf() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

Timing timeGrep(const QString &patternFile, const QString &folder) {
    QElapsedTimer timer;
    timer.start();
    const pid_t child = fork();
    if (child == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, STDOUT_FILENO);
        execlp("grep", "grep", "-rcE", "-f", QFile::encodeName(patternFile).constData(),
               QFile::encodeName(folder).constData(), static_cast<char *>(nullptr));
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    if (!WIFEXITED(status) || WEXITSTATUS(status) > 1) {
        std::fprintf(stderr, "grep failed\n");
        std::exit(1);
    }
    return {timer.nsecsElapsed() / 1e9, seconds(usage.ru_utime) + seconds(usage.ru_stime)};
}

Timing timeScan(const QString &catalogueFolder, const QString &folder, SiteScanResult &result) {
    QElapsedTimer timer;
    timer.start();
    const double cpu = cpuOfSelf();
    const ServiceCatalogue catalogue = ServiceCatalogue::load(catalogueFolder);
    result = SiteScan::scan(folder, catalogue);
    return {timer.nsecsElapsed() / 1e9, cpuOfSelf() - cpu};
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

} // namespace

int main(int argc, char **argv) {
    const int pages = argc > 1 ? std::atoi(argv[1]) : 10000;
    const QString base = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QDir::tempPath();
    const int rounds = argc > 3 ? std::atoi(argv[3]) : 5;
    const QString catalogueFolder =
        ServiceCatalogue::folderIn(QStringLiteral(CW_SOURCE_DIR)); // the source tree's catalogue

    QTemporaryDir work(base + QStringLiteral("/cw-bench-scan-XXXXXX"));
    const QString site = work.filePath(QStringLiteral("site"));
    QDir().mkpath(site + QStringLiteral("/posts"));
    qint64 bytes = 0;
    for (int i = 0; i < pages; ++i) {
        QFile file(site + QStringLiteral("/posts/%1.html").arg(i));
        const QByteArray p = page(i);
        if (!file.open(QIODevice::WriteOnly) || file.write(p) != p.size()) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
            return 1;
        }
        bytes += p.size();
    }
    const ServiceCatalogue catalogue = ServiceCatalogue::load(catalogueFolder);
    const QString patternFile = work.filePath(QStringLiteral("patterns.txt"));
    {
        QFile file(patternFile);
        if (!file.open(QIODevice::WriteOnly))
            return 1;
        const QByteArrayList list = patterns(catalogue);
        file.write(list.join('\n') + '\n');
        std::printf("%d pages, %.1f MB, %d services, %lld patterns\n", pages, bytes / 1e6,
                    int(catalogue.services().size()), static_cast<long long>(list.size()));
    }

    SiteScanResult result;
    timeGrep(patternFile, site); // warming round
    timeScan(catalogueFolder, site, result);
    std::vector<double> ratios, cpuRatios;
    for (int r = 0; r < rounds; ++r) {
        Timing grep, scan;
        if (r % 2 == 0) {
            grep = timeGrep(patternFile, site);
            scan = timeScan(catalogueFolder, site, result);
        } else {
            scan = timeScan(catalogueFolder, site, result);
            grep = timeGrep(patternFile, site);
        }
        ratios.push_back(scan.wall / grep.wall);
        cpuRatios.push_back(scan.cpu / grep.cpu);
        std::printf("round %d: grep -rcE %.3f s (cpu %.3f s), scan %.3f s (cpu %.3f s, %.0f MB/s), "
                    "scan / grep %.2f (cpu %.2f)\n",
                    r + 1, grep.wall, grep.cpu, scan.wall, scan.cpu, bytes / 1e6 / scan.wall,
                    ratios.back(), cpuRatios.back());
    }
    std::printf("scan / grep: min %.2f, median %.2f; processor time: min %.2f, median %.2f\n",
                *std::min_element(ratios.begin(), ratios.end()), median(ratios),
                *std::min_element(cpuRatios.begin(), cpuRatios.end()), median(cpuRatios));
    for (auto it = result.found.cbegin(); it != result.found.cend(); ++it)
        std::printf("  %s: %lld pages\n", qPrintable(it.key()),
                    static_cast<long long>(it.value().size()));
    return 0;
}
