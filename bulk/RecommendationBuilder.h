#pragma once

#include <QString>
#include <QStringList>

class QkTools;

// The sentence templates a recommendation is made from, one template an entry.
struct PhraseLists {
    QStringList lstIf;         // statement-form openings, templates/if.txt
    QStringList lstIfQuestion; // question-form openings, templates/if-question.txt
    QStringList lstThen;       // closings, templates/then.txt
};

// What the user asked for on the recommendation panel.
struct RecommendationSettings {
    QString benefit;  // txtBenefit
    QString url;      // txtUrl
    QString linkText; // txtLinkText, one link text or several separated by ","
    bool begins = true;
    bool ends = true;
    bool center1 = false;
    bool center2 = false;
};

// Composes the product recommendation of one article and tells what goes before and after it.
// Every call picks the templates and the link text and draws the form anew, so each article gets
// picks of its own; a pick costs the same however long the lists are. Needs a template in each
// of the three lists and at least one link text.
class RecommendationBuilder {
public:
    RecommendationBuilder(PhraseLists phrases, RecommendationSettings settings, QkTools &tools);

    // ", " becomes "," so that "A, B" names the link texts "A" and "B".
    static QString normaliseLinkText(const QString &linkText);
    // The link texts to pick from: the normalised text split at ",", empty pieces left out
    // ("A,,B," names "A" and "B"). None means no recommendation is wanted.
    static QStringList linkTexts(const QString &linkText);

    // One freshly composed recommendation body.
    QString compose();

    // What a body puts before and after an article: each copy centred if asked, with CR LF CR LF
    // between it and the article.
    struct Around {
        QString before;
        QString after;
    };
    static Around around(const QString &body, const RecommendationSettings &settings);

    // The forms, for a drawn number from 1 to 100: 50 or less asks a question, more states.
    static QString questionForm(const QString &opening, const QString &benefit,
                                const QString &closing, const QString &link);
    static QString statementForm(const QString &opening, const QString &benefit,
                                 const QString &closing, const QString &link);
    // The typed address and link text are escaped for HTML (as is the benefit in compose()).
    static QString link(const QString &url, const QString &linkText);

private:
    // The statement form of a closing already in lower case.
    static QString statement(const QString &opening, const QString &benefit,
                             const QString &lowerClosing, const QString &link);

    PhraseLists m_phrases;
    QStringList m_lowerThen; // the closings lowered once, for the statement form
    RecommendationSettings m_settings;
    QStringList m_linkTexts;
    QkTools &m_tools;
};
