#include "site/FactQuestions.h"

#include "site/ServiceCatalogue.h"

namespace FactQuestions {

namespace {

using K = Facts::Kind;

QList<FactQuestion> build() {
    const QString yesNo = QStringLiteral("true or false");
    const QString orNone = QStringLiteral("or \"none\"");
    QList<FactQuestion> q{
        {"site.name", K::Text, "What is the site called?", {}},
        {"site.url", K::Text, "At which address is the site published?", "starting with https://"},
        {"site.email", K::Text, "To which e-mail address may readers write?", {}},
        {"operator.legal_name",
         K::Text,
         "Who runs the site: the full legal name of the person or business?",
         {}},
        {"operator.address", K::Text, "What is the postal address of whoever runs the site?", {}},
        {"operator.country", K::Text, "From which country is the site run?",
         "a two-letter code: GB, DE, US"},
        {"operator.eu_representative", K::Text,
         "If the site is run from outside the EU but serves readers there: who represents it in "
         "the EU (name and address)?",
         orNone},
        {"operator.uk_representative", K::Text,
         "If the site is run from outside the UK but serves readers there: who represents it in "
         "the UK (name and address)?",
         orNone},
        {"operator.register", K::Text,
         "In which company register is the business entered, under which number?", orNone},
        {"operator.vat", K::Text, "What is the business's VAT number?", orNone},
        {"audience.eu", K::Bool, "Does the site serve readers in the European Union?", yesNo},
        {"audience.uk", K::Bool, "Does the site serve readers in the United Kingdom?", yesNo},
        {"audience.california", K::Bool, "Does the site serve readers in California?", yesNo},
        {"audience.other_us", K::Bool, "Does the site serve readers in other US states?", yesNo},
        {"audience.children", K::Bool, "Does the site address children under 16 on purpose?",
         yesNo},
    };
    for (const QString &category : categories())
        q.append({"services." + category, K::List,
                  QStringLiteral("Which %1 services does the site use?").arg(category),
                  "a list of service ids, [] for none"});
    q.append({
        {"consent.tool", K::Text, "Which tool asks readers to consent before cookies are set?",
         "\"none\", \"clausewright\" (the banner this program installs) or the tool's name"},
        {"consent.honours_gpc", K::Bool,
         "Does the consent tool treat a browser's Global Privacy Control signal as an opt-out?",
         yesNo},
        {"california.sells_or_shares", K::Bool,
         "In the last 12 months, did the site sell or share personal information in California's "
         "terms (for example through advertising or affiliate cookies)?",
         yesNo},
        {"california.opt_out", K::Text, "Where does a reader opt out of that selling or sharing?",
         "a page address or an e-mail address, or \"none\""},
        {"shop.products", K::Text, "Does the site sell products?",
         "\"none\", \"digital\", \"physical\" or \"digital and physical\""},
        {"content.ai", K::Text, "Are articles or images made with AI?",
         "\"none\", \"assisted\" (edited by a person) or \"generated\""},
        {"content.ai_reviewer", K::Text, "Who reviews AI-assisted work before it is published?",
         orNone},
        {"content.health", K::Bool, "Does the site write about health?", yesNo},
        {"content.finance", K::Bool, "Does the site write about money or investing?", yesNo},
        {"content.paid_partnerships", K::Bool, "Does the site publish sponsored or paid content?",
         yesNo},
        {"comments.enabled", K::Bool, "Can readers leave comments on the site?", yesNo},
        {"copyright.agent_name", K::Text, "Who is the site's designated copyright agent?", orNone},
        {"copyright.agent_address", K::Text, "At which postal address is the copyright agent?",
         orNone},
        {"copyright.agent_registration", K::Text,
         "Under which number is the agent registered with the US Copyright Office?", orNone},
        {"place.links", K::Bool,
         "Should the program put links to the legal pages into the site's own pages?", yesNo},
        {"place.layout", K::Text,
         "Which of the site's pages should the legal pages take their look from?",
         "a page of the site, \"\" for none"},
        {"place.consent", K::Bool,
         "Should the program put its consent banner into the site's own pages?", yesNo},
    });
    return q;
}

} // namespace

const QStringList &categories() {
    return ServiceCatalogue::categories();
}

const QList<FactQuestion> &all() {
    static const QList<FactQuestion> questions = build();
    return questions;
}

const FactQuestion *find(const QString &key) {
    for (const FactQuestion &q : all()) {
        if (q.key == key)
            return &q;
    }
    return nullptr;
}

QString named(const QString &key) {
    const FactQuestion *q = find(key);
    return key + QStringLiteral(": ") + (q ? q->question : QStringLiteral("(no such question)"));
}

} // namespace FactQuestions
