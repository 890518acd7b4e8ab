#pragma once

#include <QString>

// A message to show the user: its text and its title.
struct UserMessage {
    QString text;
    QString title;
};
