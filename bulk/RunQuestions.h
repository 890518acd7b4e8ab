#pragma once

#include <QString>

class QWidget;
struct BatchJob;

// What the bulk window asks before a run that passed its checks: the sponsor's name when a
// ticked snippet names the sponsor (offering the name given last), and whether to go ahead with
// a benefit that makes a health or income claim. False when the user cancels or gives no name.
namespace RunQuestions {

bool ask(QWidget *parent, BatchJob &job, QString &lastSponsor, const QString &programFolder);

} // namespace RunQuestions
