#include "main/search_report.h"

#include "lib/cp1253.h"

#include <string>

namespace termdex {

namespace {

Cp1253 FromUtf8(const std::string &utf8) { return Utf8ToCp1253(utf8).text.value_or(Cp1253()); }

std::string Entries(int count)
{
    return std::to_string(count) + (count == 1 ? " λήμμα" : " λήμματα");
}

} // namespace

Cp1253 SearchReport(const SearchOutcome &outcome)
{
    const int n = outcome.found;
    std::string line;
    if (outcome.cancelled) {
        line = "Η αναζήτηση διακόπηκε· ως εκεί βρέθηκαν " + Entries(n);
    } else if (outcome.failed) {
        line =
            "Η αναζήτηση σταμάτησε σε ερμηνεία που δε διαβάζεται· ως εκεί βρέθηκαν " + Entries(n);
    } else if (outcome.nearest) {
        line =
            "Κανένα λήμμα δεν ταιριάζει ακριβώς με τα κριτήρια· η λίστα δείχνει " +
            (n == 1 ? std::string("το πλησιέστερο") : "τα " + std::to_string(n) + " πλησιέστερα");
    } else if (outcome.limited) {
        line = "Η λίστα έφτασε το όριό της: " + Entries(n);
    } else if (outcome.kind == SearchKind::Criteria) {
        line = n == 0 ? "Κανένα λήμμα δεν ταιριάζει με τα κριτήρια"
               : n == 1 ? "Βρέθηκε 1 λήμμα"
                        : "Βρέθηκαν " + Entries(n);
    }
    if (!line.empty())
        return FromUtf8(line);

    // The word is the reader's own text, already in the code page; only its length is bounded.
    Cp1253 word = Trim(outcome.word);
    if (word.size() > kReportWordLimit)
        word = word.substr(0, kReportWordLimit) + "...";
    const Cp1253 quoted = FromUtf8("«") + word + FromUtf8("»");
    if (n == 0)
        return FromUtf8("Η λέξη ") + quoted + FromUtf8(" δε βρέθηκε σε καμία ερμηνεία");
    return FromUtf8("Η λέξη ") + quoted +
           FromUtf8(" βρέθηκε στις ερμηνείες " +
                    (n == 1 ? std::string("1 λήμματος") : std::to_string(n) + " λημμάτων"));
}

} // namespace termdex
