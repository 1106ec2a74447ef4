#include "metering/CallRecovery.h"

#include "metering/CallLedger.h"
#include "platform/Prompter.h"

namespace ringtally {

void recoverInterruptedCalls(ProgramState& state, SettingsFile& file, const CallLog& log,
    const CallCheckpointFile& checkpoint, Prompter& prompter, bool english)
{
    CallLedger ledger(log, checkpoint, file);
    ledger.setEnglish(english);
    for (const Prompt& box : ledger.recover(state, true))
        prompter.ask(box);
}

} // namespace ringtally
