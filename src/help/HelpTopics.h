#pragma once

#include <QString>
#include <QStringView>

#include <optional>

class QWidget;

namespace ringtally {

/// A place in the help pages: a page's file name (the same in both languages) and an id in it.
struct HelpPlace {
    QString page;
    QString anchor; // empty: the top of the page
};

/// One line of the help map.
struct HelpTopic {
    const char16_t* topic;
    const char16_t* page;
    const char16_t* anchor; // empty: the top of the page
};

/// The help map: where the pages explain each window and some fields. A window is named by its
/// class (F1 finds it by the class of the focused widget or of a window or page around it); a page
/// of the configuration window by its page's class; a field as "Window.Control", given to the
/// control with setHelpTopic(); "Contents" is the contents page.
inline constexpr HelpTopic kHelpTopics[] = {
    { u"Contents", u"index.html", u"" },
    { u"FirstSteps", u"first-steps.html", u"" },
    { u"Pricing", u"pricing.html", u"" },
    { u"HelpWindow", u"index.html", u"help-window" },
    { u"Welcome", u"start-up.html", u"language" },
    { u"Splash", u"start-up.html", u"splash" },
    { u"MainFrm", u"main-window.html", u"" },
    { u"MainFrm.mnuPopMenu", u"main-window.html", u"tray-menu" },
    { u"Dialup", u"dial-window.html", u"" },
    { u"DialStatus", u"status-window.html", u"" },
    { u"TitleInfo", u"floating-window.html", u"" },
    { u"TrayInfo", u"taskbar-window.html", u"" },
    { u"PriceWarn", u"price-warning.html", u"" },
    { u"SelectDUN", u"scheme-selection.html", u"" },
    { u"LogViewer", u"log-viewer.html", u"" },
    { u"Config", u"configuration.html", u"" },
    { u"SchemePage", u"config-schemes.html", u"" },
    { u"Config.DUNNames", u"config-schemes.html", u"dial-up" },
    { u"Config.TakstperTimer", u"config-schemes.html", u"periods" },
    { u"Config.AOpkGebyr", u"config-schemes.html", u"call-fee" },
    { u"Config.AMinUOpk", u"config-schemes.html", u"call-fee" },
    { u"Config.AMinPris", u"config-schemes.html", u"minute-price" },
    { u"Config.NedsatPrisTid", u"config-schemes.html", u"reduced-price" },
    { u"Config.Holidays", u"config-schemes.html", u"holidays" },
    { u"Config.TariffRules", u"config-schemes.html", u"rules" },
    { u"MiscPage", u"config-misc.html", u"" },
    { u"Config.OpkTyperKeyb", u"config-misc.html", u"hotkeys" },
    { u"Config.DblClickCall", u"config-misc.html", u"double-click" },
    { u"Config.RedialIfBusy", u"config-misc.html", u"redial" },
    { u"Config.MaxPris", u"config-misc.html", u"max-price" },
    { u"Config.DataLimit", u"config-misc.html", u"data-limit" },
    { u"Config.HangUpAtLimit", u"config-misc.html", u"hang-up-at-limit" },
    { u"Config.LangCmb", u"config-misc.html", u"language" },
    { u"ListsPage", u"config-lists.html", u"" },
    { u"Config.Autolog", u"config-lists.html", u"autolog" },
    { u"Config.AutoConnect", u"config-lists.html", u"auto-connect" },
    { u"Config.Runprogs", u"config-lists.html", u"start-list" },
    { u"Config.HolidayList", u"config-lists.html", u"holidays" },
    { u"AddProg", u"add-program.html", u"" },
    { u"Save", u"tariff-files.html", u"" },
    { u"SoundChooser", u"sounds.html", u"" },
};

/// The place of topic; nothing for a topic the map lacks.
std::optional<HelpPlace> helpPlaceFor(QStringView topic);
/// The place of topic as "page#anchor" (or "page"), as a link in the pages writes it; empty for a
/// topic the map lacks.
QString helpPageFor(QStringView topic);

/// Gives widget a topic of its own, which F1 on it or inside it opens ("Config.MaxPris").
void setHelpTopic(QWidget& widget, const QString& topic);
/// The topic F1 opens on widget: the nearest topic given with setHelpTopic() on it or around it,
/// else the nearest widget or window around it whose class the map names; "Contents" when none.
QString helpTopicAt(const QWidget* widget);

} // namespace ringtally
