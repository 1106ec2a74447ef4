#pragma once

namespace ringtally {

class CallCheckpointFile;
class CallLog;
class Prompter;
class SettingsFile;
struct Settings;

/// At start-up, once the settings are loaded and before the stored counters are shown: a
/// checkpoint that a call left behind when the program did not live to end it is logged as a call
/// ending at the checkpoint, marked as recovered, and its figures are stored as the call end stores
/// them (the day's only when the checkpoint's day is the stored last-call day or later). The file
/// goes once the settings and the line are written; a failure keeps it for the next start, and a
/// call that an earlier start logged already is not counted again. A checkpoint that does not read
/// is put aside beside it (".bad") and not counted. Every box comes after everything is stored, in
/// Danish or, when english, English.
void recoverInterruptedCall(Settings& settings, SettingsFile& file, const CallLog& log,
    const CallCheckpointFile& checkpoint, Prompter& prompter, bool english);

} // namespace ringtally
