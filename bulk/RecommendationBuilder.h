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

// Composes the product recommendation of one article and places it before and/or after it.
// Every call shuffles the templates and the link texts and draws the form anew, so each article
// gets picks of its own. Needs a template in each of the three lists.
class RecommendationBuilder {
public:
    RecommendationBuilder(PhraseLists phrases, RecommendationSettings settings, QkTools &tools);

    // ", " becomes "," so that "A, B" names the link texts "A" and "B".
    static QString normaliseLinkText(const QString &linkText);

    // The article with one freshly composed recommendation placed as the settings say.
    // room is extra capacity to keep for text the caller adds afterwards.
    QString apply(const QString &article, qsizetype room = 0);
    // One freshly composed recommendation body.
    QString compose();
    // The article with the body placed before and/or after it, each copy centred if asked.
    static QString place(const QString &article, const QString &body,
                         const RecommendationSettings &settings, qsizetype room = 0);

    // The forms, for a drawn number from 1 to 100: 50 or less asks a question, more states.
    static QString questionForm(const QString &opening, const QString &benefit,
                                const QString &closing, const QString &link);
    static QString statementForm(const QString &opening, const QString &benefit,
                                 const QString &closing, const QString &link);
    static QString link(const QString &url, const QString &linkText);

private:
    PhraseLists m_phrases;
    RecommendationSettings m_settings;
    QStringList m_lstLinkTitles;
    QkTools &m_tools;
};
