#include "bulk/SynonymPreload.h"

#include "controllib/QkFile.h"

SynonymPreload::Step SynonymPreload::Timer1_Timer() {
    if (m_tag.isEmpty()) {
        LoadSynonymRules();
        m_tag = QStringLiteral("1");
        return Step::Started;
    }
    const QString count = QString::number(m_lstReglas.size());
    if (m_tag == count)
        return Step::Finished;
    m_tag = count;
    return Step::Waiting;
}

void SynonymPreload::LoadSynonymRules() {
    m_lstReglas.clear();
    // A missing file leaves the list empty; the sequence then simply ends on the third tick.
    // Lines past the last one kept are never read.
    QkFile::LoadListFromFile(m_lstReglas, m_path, nullptr, MaxEntries);
}
