#pragma once

#include "site/Service.h"

#include <QByteArrayView>
#include <QList>

#include <memory>

// Tells which services of a list an address or an inline body belongs to: the detection rules
// of every service (see Service.h) made into look-up tables once. Services are named by their
// index in the list.
class ServiceMatcher {
public:
    // How a page uses an address: it loads it (script, iframe, img, form, link) or links to it (a).
    enum class Use { Load, Link };
    // A rule that matched: its service, and how specific it is (the length of its host, path and
    // parameter).
    struct Hit {
        int service;
        int weight;
    };

    explicit ServiceMatcher(const QList<Service> &services);
    ~ServiceMatcher();

    // Every rule that matches the address, taken as an attribute holds it (character references
    // such as "&amp;" are read).
    QList<Hit> hits(QByteArrayView url, Use use) const;
    // The services whose inline texts appear in a script or style body, in ascending order.
    QList<int> inlineHits(QByteArrayView text) const;

private:
    struct Tables;
    std::unique_ptr<const Tables> m_tables;
    int m_count = 0;
};
