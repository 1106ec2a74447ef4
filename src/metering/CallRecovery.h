#pragma once

namespace ringtally {

class CallCheckpointFile;
class CallLog;
class Prompter;
class SettingsFile;
struct ProgramState;

/// At start-up, once the settings are loaded and before the stored counters are shown: each call
/// part that the program did not live to close (the checkpoint, and any put aside because the disk
/// was full) is closed now. Its line goes into the log unless the log holds it already (the
/// checkpoint's own line once the close had begun, else a call-end line marked as recovered), and
/// its own figures are added to the counters unless they hold it already (Settings::CountedPart);
/// then the file goes. A part that cannot be closed now is kept aside for the next start, where no
/// call replaces it; a checkpoint that does not read is put aside (".bad") and not counted. Every
/// box comes after everything is stored, in Danish or, when english, English.
void recoverInterruptedCalls(ProgramState& state, SettingsFile& file, const CallLog& log,
    const CallCheckpointFile& checkpoint, Prompter& prompter, bool english);

} // namespace ringtally
