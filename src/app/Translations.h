// The language of the window. Chinese is the source of every text and the default; English is
// loaded when the desktop's languages put English before Chinese. The same choice reaches the
// operations' messages through the translator hook of the link library.
#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include "ChannelLists.h"
#include "ChannelSettings.h"

namespace tavolex {

enum class Language { Chinese, English };

// A caption or message of the window in the installed language.
inline QString Tr(const char* context, const char* source) {
    return QCoreApplication::translate(context, source);
}

// The first of the desktop's languages (most wanted first, as QLocale::uiLanguages() lists
// them) that the program speaks; Chinese when none is English or Chinese.
Language PreferredLanguage(const QStringList& uiLanguages);

// Makes the language the one of every window made afterwards and of every message. Needs a
// QCoreApplication; may be called again to switch. Returns false when the English
// translation could not be loaded (the texts then stay Chinese).
bool InstallLanguage(Language language);

// A channel list row's caption as the window shows it ("Channel 5" in English). The files keep
// the Chinese captions of RowCaption() and ChannelSettings::label().
QString ShownRowCaption(ChannelList list, int row);
QString ShownChannelCaption(int channel);
// The caption with the operator's name for the channel, as ChannelSettings::label() joins them.
QString ShownChannelLabel(const ChannelSettings& settings, int channel);

}  // namespace tavolex
