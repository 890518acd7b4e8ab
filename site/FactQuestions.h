#pragma once

#include "site/Facts.h"

#include <QList>
#include <QString>
#include <QStringList>

// The questions the facts file asks, in the order it asks them, one per key. The keys are fixed:
// scripts and other tools rely on them (see site/README.md).
struct FactQuestion {
    QString key; // "operator.legal_name"
    Facts::Kind kind;
    QString question; // one plain sentence
    QString answers;  // how to answer, "true or false", "none, digital, physical", or empty
};

namespace FactQuestions {

// The service categories, in the order the facts file lists them.
const QStringList &categories();
// Every question; services.<category> comes once per category.
const QList<FactQuestion> &all();
// The question for key, or nullptr when no question has that key.
const FactQuestion *find(const QString &key);
// "KEY: question", as refusals name a missing fact.
QString named(const QString &key);

} // namespace FactQuestions
