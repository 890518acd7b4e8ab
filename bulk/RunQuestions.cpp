#include "bulk/RunQuestions.h"

#include "bulk/BatchJob.h"
#include "bulk/ClaimWords.h"
#include "bulk/SnippetMarks.h"
#include "bulk/SponsorQuestion.h"
#include "widgets/Seam.h"

namespace RunQuestions {

bool ask(QWidget *parent, BatchJob &job, QString &lastSponsor, const QString &programFolder) {
    const QStringList naming = SnippetMarks::needingSponsor(job.tickedDisclaimers);
    if (!naming.isEmpty()) {
        const std::optional<QString> name = Seam::askText(parent, SponsorQuestion::prompt(naming),
                                                          SponsorQuestion::title(), lastSponsor);
        if (!name)
            return false;
        if (name->trimmed().isEmpty()) {
            Seam::information(parent, SponsorQuestion::missing(naming), QStringLiteral("Error"));
            return false;
        }
        lastSponsor = name->trimmed();
        job.sponsor = lastSponsor;
    }
    if (job.wantsRecommendation()) {
        const QStringList claims =
            ClaimWords::found(job.recommendation.benefit, ClaimWords::load(programFolder));
        if (!claims.isEmpty() &&
            !Seam::question(parent, ClaimWords::question(claims), QStringLiteral("Warning")))
            return false;
    }
    return true;
}

} // namespace RunQuestions
