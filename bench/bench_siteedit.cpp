// Times placing links and the consent wiring into every page of a site against copying the same
// site with `cp -r`, and measures the placement's peak memory at two site sizes.
//
//   cw_bench_siteedit [N] [folder]   N pages (default 10000) of about 30 KB, made inside folder
//                                    (default: the system's temporary folder)
//
// The pages sit 100 to a folder; each has a head with an analytics script, an ad script and a
// video iframe in its body, and a footer. Each of three rounds times, in one run and on one tree:
// `cp -r` of the site, then the placement (links to four legal pages and the consent wiring, with
// the real service catalogue) over that copy; the ratio is placement / copy. A rerun over the
// placed site (nothing changes) is timed too. The peak memory (maximum resident set) of a
// placement in a child process is given for N/10 pages and for N pages.

#include "site/ConsentBanner.h"
#include "site/PageEdit.h"
#include "site/ServiceCatalogue.h"
#include "site/SiteEditor.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

QByteArray page(int i) {
    QByteArray head = "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
                      "<title>Page " +
                      QByteArray::number(i) +
                      "</title>\n<script async "
                      "src=\"https://www.googletagmanager.com/gtag/js?id=G-BENCH1\"></script>\n"
                      "</head>\n<body>\n<header><nav><a href=\"/\">Home</a></nav></header>\n"
                      "<main>\n";
    const QByteArray paragraph = "<p>Plain living, article " + QByteArray::number(i) +
                                 ": a <a href=\"/x.html\">link</a>, some <em>words</em> and "
                                 "a little more text to read through at an easy pace.</p>\n";
    QByteArray body = paragraph.repeated(30000 / paragraph.size());
    body.insert(body.size() / 2,
                "<iframe src=\"https://www.youtube.com/embed/abc\" title=\"v\"></iframe>\n"
                "<script async src=\"https://pagead2.googlesyndication.com/pagead/js/"
                "adsbygoogle.js\"></script>\n");
    return head + body + "</main>\n<footer><p>Footer</p></footer>\n</body>\n</html>\n";
}

void makeSite(const QString &root, int count) {
    for (int i = 0; i < count; ++i) {
        const QString folder = QStringLiteral("%1/d%2").arg(root).arg(i / 100);
        if (i % 100 == 0)
            QDir().mkpath(folder);
        QFile file(QStringLiteral("%1/p%2.html").arg(folder).arg(i));
        if (!file.open(QIODevice::WriteOnly) || file.write(page(i)) < 0) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
            std::exit(1);
        }
    }
}

double copy(const QString &from, const QString &to) {
    QElapsedTimer timer;
    timer.start();
    const QByteArray command =
        "cp -r '" + QFile::encodeName(from) + "' '" + QFile::encodeName(to) + "'";
    if (std::system(command.constData()) != 0)
        std::exit(1);
    return timer.nsecsElapsed() / 1e9;
}

PageEdit::Placement placement() {
    auto catalogue = std::make_shared<ServiceCatalogue>(
        ServiceCatalogue::load(ServiceCatalogue::folderIn(QStringLiteral(CW_SOURCE_DIR))));
    Facts facts;
    facts.set(QStringLiteral("services.analytics"), QStringList{"google-analytics"});
    facts.set(QStringLiteral("services.advertising"), QStringList{"google-adsense"});
    facts.set(QStringLiteral("services.embed"), QStringList{"youtube"});
    const auto categories = ConsentBanner::categories(facts, *catalogue);
    PageEdit::Placement p;
    p.links = {{"privacy-policy.html", "Privacy Policy", false},
               {"cookie-policy.html", "Cookie Policy", false},
               {"terms-of-use.html", "Terms Of Use", false},
               {"your-privacy-choices.html", "Your Privacy Choices", true}};
    p.consent = true;
    p.consentFolder = ConsentBanner::folderName();
    p.matcher = ConsentBanner::matcher(catalogue, categories);
    return p;
}

double place(const QString &site, SiteEditor::Summary *summary = nullptr) {
    const PageEdit::Placement p = placement();
    QElapsedTimer timer;
    timer.start();
    const SiteEditor::Summary s = SiteEditor::run(site, p, false, [](const SiteEditor::Page &) {});
    const double seconds = timer.nsecsElapsed() / 1e9;
    if (summary)
        *summary = s;
    return seconds;
}

// The peak resident memory, in MB, of a placement over site in a child process.
double peakMemory(const QString &site) {
    const pid_t child = ::fork();
    if (child == 0) {
        place(site);
        std::_Exit(0);
    }
    int status = 0;
    rusage usage{};
    ::wait4(child, &status, 0, &usage);
    return usage.ru_maxrss / 1024.0;
}

} // namespace

int main(int argc, char **argv) {
    const int count = argc > 1 ? std::atoi(argv[1]) : 10000;
    QTemporaryDir work(argc > 2 ? QString::fromLocal8Bit(argv[2]) + QStringLiteral("/cw-bench")
                                : QDir::tempPath() + QStringLiteral("/cw-bench"));
    const QString source = work.filePath(QStringLiteral("site"));
    makeSite(source, count);
    std::printf("%d pages of %lld bytes\n", count, static_cast<long long>(page(0).size()));
    std::vector<double> ratios;
    for (int round = 0; round < 3; ++round) {
        const QString target = work.filePath(QStringLiteral("round%1").arg(round));
        const double copied = copy(source, target);
        SiteEditor::Summary s;
        const double placed = place(target, &s);
        const double again = place(target);
        ratios.push_back(placed / copied);
        std::printf("round %d: cp -r %.3f s, placement %.3f s (%d pages changed), ratio %.2f; "
                    "rerun %.3f s\n",
                    round, copied, placed, s.changed, placed / copied, again);
        QDir(target).removeRecursively();
    }
    std::sort(ratios.begin(), ratios.end());
    std::printf("placement / cp -r: best %.2f, median %.2f\n", ratios.front(), ratios[1]);
    const QString small = work.filePath(QStringLiteral("small"));
    makeSite(small, count / 10);
    std::printf("peak memory: %.1f MB for %d pages, %.1f MB for %d pages\n", peakMemory(small),
                count / 10, peakMemory(source), count);
    return 0;
}
