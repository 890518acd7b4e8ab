#include "site/ConsentBanner.h"

#include "controllib/QkFile.h"
#include "site/SafeWrite.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ConsentBanner {

namespace {

// The categories that wait for consent, with the banner's words for them. Fonts come in through
// style sheets and payments are needed to pay: neither waits.
struct Wording {
    const char *id;
    const char *title;
    const char *description;
};
const Wording kWordings[] = {
    {"analytics", "Analytics",
     "Counts visits and shows which pages are read, so that we can make the site better."},
    {"advertising", "Advertising",
     "Shows ads and measures them. Ad networks may recognise your browser on other sites too."},
    {"affiliate", "Affiliate partners",
     "Tells a shop we link to that you came from this site, so that we may earn a commission."},
    {"embed", "Embedded content",
     "Videos, maps and posts from other sites, which may set cookies of their own."},
    {"newsletter", "Newsletter", "The sign-up form of the service that sends our newsletter."},
    {"comments", "Comments", "The comment system, run by another company."},
    {"other", "Other services", "Other tools from third parties that this site uses."},
};

const Wording *wordingOf(const QString &id) {
    for (const Wording &w : kWordings) {
        if (id == QLatin1String(w.id))
            return &w;
    }
    return nullptr;
}

const char kScript[] =
    R"JS(/* The consent banner's settings, written by Clausewright from the site's facts. A new run
   writes this file again; "clausewright pages SITE --remove" takes the banner away. */
(function () {
  'use strict';
  var settings = %1;
  var gpc = navigator.globalPrivacyControl === true;
  var categories = { necessary: { enabled: true, readOnly: true } };
  var sections = [
    { title: 'Your choice',
      description: 'Choose which services may set cookies or read your browser. You can change ' +
        'your choice at any time with the "Cookie settings" link at the foot of every page.' },
    { title: 'Strictly necessary',
      description: 'What the site needs to work and to remember your choice.',
      linkedCategory: 'necessary' }
  ];
  settings.categories.forEach(function (c) {
    if (gpc && settings.gpcOptOut.indexOf(c.id) >= 0) return;
    var services = {};
    c.services.forEach(function (s) { services[s.id] = { label: s.name }; });
    categories[c.id] = { services: services };
    sections.push({ title: c.title, description: c.description, linkedCategory: c.id });
  });
  var signal = 'Your browser sends a Global Privacy Control signal. We honour it as an opt-out ' +
    'of the sale and sharing of your data: advertising stays off.';
  if (gpc) sections.push({ title: 'Global Privacy Control', description: signal });

  function showSignal() {
    if (!gpc) return;
    var notes = document.querySelectorAll('.gpc-honoured');
    for (var i = 0; i < notes.length; i++) notes[i].hidden = false;
  }
  function releaseFrames() {
    var frames = document.querySelectorAll('iframe[data-clausewright][data-category]');
    for (var i = 0; i < frames.length; i++) {
      if (CookieConsent.acceptedCategory(frames[i].getAttribute('data-category')))
        frames[i].removeAttribute('srcdoc');
    }
  }
  showSignal();
  CookieConsent.run({
    hideFromBots: false,
    guiOptions: {
      consentModal: { layout: 'box', position: 'bottom right', equalWeightButtons: true },
      preferencesModal: { layout: 'box', equalWeightButtons: true }
    },
    categories: categories,
    onConsent: releaseFrames,
    onChange: function (change) {
      // A category taken back: what already runs stops with a fresh page.
      for (var i = 0; i < change.changedCategories.length; i++) {
        if (!CookieConsent.acceptedCategory(change.changedCategories[i])) {
          location.reload();
          return;
        }
      }
      releaseFrames();
    },
    language: {
      default: 'en',
      translations: {
        en: {
          consentModal: {
            title: 'Cookies and similar tools',
            description: 'This site would like to use services of other companies that set ' +
              'cookies or read your browser. None of them runs until you say yes.' +
              (gpc ? ' ' + signal : ''),
            acceptAllBtn: 'Accept all',
            acceptNecessaryBtn: 'Reject all',
            showPreferencesBtn: 'Choose'
          },
          preferencesModal: {
            title: 'Cookie settings',
            acceptAllBtn: 'Accept all',
            acceptNecessaryBtn: 'Reject all',
            savePreferencesBtn: 'Save my choice',
            closeIconLabel: 'Close',
            sections: sections
          }
        }
      }
    }
  });
})();
)JS";

QString reason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

bool fail(QString *error, const QString &why) {
    if (error)
        *error = why;
    return false;
}

// The consent folder of the site, opened without following a link; -1 when it is not there.
int openFolder(const QString &siteFolder, bool make, QString *error) {
    const int site =
        ::open(QFile::encodeName(siteFolder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (site < 0) {
        fail(error, reason(errno));
        return -1;
    }
    const QByteArray name = QFile::encodeName(folderName());
    if (make && ::mkdirat(site, name.constData(), 0755) != 0 && errno != EEXIST) {
        fail(error, reason(errno));
        ::close(site);
        return -1;
    }
    const int folder =
        ::openat(site, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (folder < 0)
        fail(error, errno == ENOENT ? QString()
                                    : QStringLiteral("%1 is no folder of its own (%2)")
                                          .arg(folderName(), reason(errno)));
    ::close(site);
    return folder;
}

} // namespace

QString folderName() {
    return QStringLiteral("clausewright-consent");
}

QString serviceId() {
    return QStringLiteral("vanilla-cookieconsent");
}

QStringList fileNames() {
    return {QStringLiteral("cookieconsent.umd.js"), QStringLiteral("cookieconsent.css"),
            QStringLiteral("LICENSE-cookieconsent.txt"), QStringLiteral("consent-config.js")};
}

QList<Category> categories(const Facts &facts, const ServiceCatalogue &catalogue) {
    QList<Category> found;
    for (const Wording &w : kWordings) {
        Category category{QString::fromLatin1(w.id), {}};
        for (const QString &id : facts.list(QStringLiteral("services.") + category.id)) {
            if (const Service *service = catalogue.find(id))
                category.services.append(service);
        }
        if (!category.services.isEmpty())
            found.append(category);
    }
    return found;
}

QByteArray settings(const QList<Category> &categories) {
    QJsonArray list;
    for (const Category &category : categories) {
        const Wording *w = wordingOf(category.id);
        QJsonArray services;
        for (const Service *service : category.services)
            services.append(QJsonObject{{QStringLiteral("id"), service->id},
                                        {QStringLiteral("name"), service->name}});
        list.append(QJsonObject{{QStringLiteral("id"), category.id},
                                {QStringLiteral("title"), QString::fromUtf8(w->title)},
                                {QStringLiteral("description"), QString::fromUtf8(w->description)},
                                {QStringLiteral("services"), services}});
    }
    const QJsonObject object{
        {QStringLiteral("categories"), list},
        {QStringLiteral("gpcOptOut"), QJsonArray{QStringLiteral("advertising")}}};
    QByteArray json = QJsonDocument(object).toJson(QJsonDocument::Compact);
    json.replace("</", "<\\/"); // never a tag's end inside a script
    return QString::fromUtf8(kScript).arg(QString::fromUtf8(json)).toUtf8();
}

PageEdit::ServiceMatcher matcher(std::shared_ptr<const ServiceCatalogue> catalogue,
                                 const QList<Category> &categories) {
    QStringList held;
    for (const Category &category : categories)
        held.append(category.id);
    return [catalogue, held](QByteArrayView, QByteArrayView src,
                             QByteArrayView text) -> std::optional<PageEdit::Held> {
        const Service *service = nullptr;
        if (!src.isEmpty()) {
            service = catalogue->matchUrl(src, ServiceCatalogue::Use::Load);
        } else {
            for (const Service *candidate : catalogue->matchInline(text)) {
                if (held.contains(candidate->category)) {
                    service = candidate;
                    break;
                }
            }
        }
        if (!service || !held.contains(service->category))
            return std::nullopt;
        return PageEdit::Held{service->category, service->id};
    };
}

bool install(const QString &siteFolder, const QString &libraryFolder, const QByteArray &settings,
             QString *error) {
    QList<QByteArray> contents;
    for (const QString &source : {QStringLiteral("cookieconsent.umd.js"),
                                  QStringLiteral("cookieconsent.css"), QStringLiteral("LICENSE")}) {
        QByteArray bytes;
        QString why;
        if (!QkFile::readBytes(bytes, libraryFolder + QLatin1Char('/') + source, &why))
            return fail(error, QStringLiteral("the consent banner's library file %1 cannot be "
                                              "read (%2)")
                                   .arg(libraryFolder + QLatin1Char('/') + source, why));
        contents.append(bytes);
    }
    contents.append(settings);
    const int folder = openFolder(siteFolder, true, error);
    if (folder < 0)
        return false;
    const QStringList names = fileNames();
    bool ok = true;
    for (qsizetype i = 0; i < names.size() && ok; ++i) {
        QString why;
        const QByteArray name = QFile::encodeName(names.at(i));
        QByteArray there;
        if (SafeWrite::read(folder, name, there, nullptr, nullptr) && there == contents.at(i))
            continue; // a rerun leaves the files as they are
        ok = SafeWrite::write(folder, name, contents.at(i), &why);
        if (!ok)
            fail(
                error,
                QStringLiteral("%1/%2 cannot be written (%3)").arg(folderName(), names.at(i), why));
    }
    ::close(folder);
    return ok;
}

bool remove(const QString &siteFolder, bool dryRun, QStringList *removed, QString *error) {
    QString why;
    const int folder = openFolder(siteFolder, false, &why);
    if (folder < 0)
        return why.isEmpty() || fail(error, why); // no folder: nothing to remove
    bool ok = true;
    for (const QString &name : fileNames()) {
        const QByteArray local = QFile::encodeName(name);
        struct stat info {};
        if (::fstatat(folder, local.constData(), &info, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISREG(info.st_mode))
            continue;
        if (!dryRun && ::unlinkat(folder, local.constData(), 0) != 0) {
            ok = fail(error, QStringLiteral("%1/%2 cannot be removed (%3)")
                                 .arg(folderName(), name, reason(errno)));
            continue;
        }
        if (removed)
            removed->append(folderName() + QLatin1Char('/') + name);
    }
    ::close(folder);
    if (!dryRun) {
        const int site =
            ::open(QFile::encodeName(siteFolder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (site >= 0) {
            ::unlinkat(site, QFile::encodeName(folderName()).constData(), AT_REMOVEDIR);
            ::close(site);
        }
    }
    return ok;
}

} // namespace ConsentBanner
