// The language of the window: Chinese, the source of every text, when the desktop prefers it,
// English otherwise. The same choice reaches the operations' messages through the translator
// hook of the link library.
#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include "ChannelLists.h"
#include "ChannelSettings.h"
#include "Language.h"

namespace tavolex {

// A caption or message of the window in the installed language.
inline QString Tr(const char* context, const char* source) {
    return QCoreApplication::translate(context, source);
}

// The language the desktop prefers: by the environment's language variables where they are
// set, else by the system's list of languages (Windows).
Language DesktopLanguage();

// Makes the language the one of every window made afterwards and of every message. Needs a
// QCoreApplication; may be called again to switch. Returns false when the English
// translation could not be loaded (the texts then stay Chinese).
bool InstallLanguage(Language language);
// The language installed last; Chinese before any.
Language InstalledLanguage();

// A channel list row's caption as the window shows it ("Channel 5" in English). The files keep
// the Chinese captions of RowCaption() and ChannelSettings::label().
QString ShownRowCaption(ChannelList list, int row);
QString ShownChannelCaption(int channel);
// The caption with the operator's name for the channel, as ChannelSettings::label() joins them.
QString ShownChannelLabel(const ChannelSettings& settings, int channel);

}  // namespace tavolex
