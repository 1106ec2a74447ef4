// Feeds arbitrary stored dial-up data to the unscrambler and arbitrary clear data to the scrambler.

#include "core/DunScrambler.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace ringtally;

namespace {

bool isStoredForm(const QByteArray& bytes)
{
    if (bytes.size() % 2 != 0)
        return false;
    for (const char c : bytes) {
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F')))
            return false;
    }
    return true;
}

void check(bool ok)
{
    if (!ok)
        abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QByteArray fixedKey = kDunDataKey.toUtf8();

    // Any bytes scramble into the stored form and come back unchanged, with the fixed key and with
    // a key cut from the input itself.
    const QByteArray scrambled = scrambleBytes(input, fixedKey);
    check(scrambled.size() == 2 * input.size() && isStoredForm(scrambled));
    check(unscrambleBytes(QString::fromLatin1(scrambled), fixedKey) == input);
    const QByteArray ownKey = input.left(8);
    if (!ownKey.isEmpty())
        check(unscrambleBytes(QString::fromLatin1(scrambleBytes(input, ownKey)), ownKey) == input);

    // A stored form is the scrambling of what it unscrambles to.
    const QString latin1 = QString::fromLatin1(input);
    const QByteArray clear = unscrambleBytes(latin1, fixedKey);
    check(clear.size() == (input.size() + 1) / 2);
    if (isStoredForm(input))
        check(scrambleBytes(clear, fixedKey) == input);
    // Random bytes are seldom a stored form, so also check the stored form hidden in the input.
    QByteArray stored;
    for (const char c : input) {
        if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))
            stored += c;
    }
    stored.chop(stored.size() % 2);
    check(scrambleBytes(unscrambleBytes(QString::fromLatin1(stored), fixedKey), fixedKey) == stored);

    // Arbitrary stored text decodes without failing, one character per pair.
    const QString utf8 = QString::fromUtf8(input);
    check(unscrambleBytes(utf8, fixedKey).size() == (utf8.size() + 1) / 2);
    (void)UnscrambleDUNData(latin1, kDunDataKey);
    (void)UnscrambleDUNData(utf8, kDunDataKey);

    // Any text survives storing, except a leading byte-order mark, which decoding drops on purpose.
    if (!utf8.startsWith(QChar(0xFEFF)))
        check(UnscrambleDUNData(ScrambleDUNData(utf8, kDunDataKey), kDunDataKey) == utf8);
    return 0;
}
