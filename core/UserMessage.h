#pragma once

#include <QString>

// A message for the user: its text and the title of the box that shows it.
struct UserMessage {
    QString text;
    QString title;
};
