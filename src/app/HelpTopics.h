#pragma once
// Help topics: one HTML page per topic, help/<topic>.htm, opened with the system's browser.

#include "comm/UserPrompts.h"

#include <QString>

namespace rv8::app {

// The folder that holds the help pages: the one set with SetHelpDirectory(), else "help" beside
// the program, else "help" in the folder above it.
QString HelpDirectory();
void SetHelpDirectory(const QString& directory);

// The page of a topic ("Establish_Communication" -> <help folder>/Establish_Communication.htm),
// or an empty text when there is no such page.
QString HelpTopicFile(const QString& topic);

// Opens the topic's page. Without a page the user is told that the topic is not available.
// True when the page was handed to the system.
bool ShowHelpTopic(const QString& topic, comm::UserPrompts& prompts);

}  // namespace rv8::app
