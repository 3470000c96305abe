// The number key filter and the type-ahead rules on any text, list and selection:
// no crash, and every result stays inside its text and its list.
#include "KeyFilters.h"

#include <QString>
#include <QStringList>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

void check(const TypeAheadResult &r, const QStringList &items) {
    if (r.selectionStart < 0 || r.selectionLength < 0 ||
        r.selectionStart + r.selectionLength > r.text.size())
        std::abort();
    if (r.matchedIndex < -1 || r.matchedIndex >= items.size())
        std::abort();
}

} // namespace

// Input: 2 bytes selection start, 2 bytes selection length (signed), 2 bytes typed
// character, then UTF-8: the text, and the list items after it, one a line.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size < 6)
        return 0;
    std::int16_t start, length;
    std::uint16_t typed;
    std::memcpy(&start, data, 2);
    std::memcpy(&length, data + 2, 2);
    std::memcpy(&typed, data + 4, 2);
    const QString rest =
        QString::fromUtf8(reinterpret_cast<const char *>(data + 6), qsizetype(size - 6));
    QStringList items = rest.split(QLatin1Char('\n'));
    const QString text = items.takeFirst();

    (void)numberKeyPasses(QChar(typed), text);
    check(typeAhead(items, text, start, length, QChar(typed)), items);
    check(typeAheadBackspace(text, start, length), items);
    return 0;
}
