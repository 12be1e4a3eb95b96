#include "main/ui/qt_greek.h"

#include <QCoreApplication>
#include <QHash>
#include <QPointer>
#include <QTranslator>

namespace termdex {

namespace {

struct Entry
{
    const char *context;
    const char *source;
    const char *greek;
};

// Qt's source texts exactly as Qt writes them, context by context.
constexpr Entry kCatalogue[] = {
    {"QPlatformTheme", "OK", "OK"},
    {"QPlatformTheme", "Cancel", "Άκυρο"},
    {"QPlatformTheme", "&Yes", "&Ναι"},
    {"QPlatformTheme", "&No", "Ό&χι"},
    {"QPlatformTheme", "Yes to &All", "Ναι σε ό&λα"},
    {"QPlatformTheme", "N&o to All", "Όχ&ι σε όλα"},
    {"QPlatformTheme", "Abort", "Διακοπή"},
    {"QPlatformTheme", "Retry", "Επανάληψη"},
    {"QPlatformTheme", "Ignore", "Παράβλεψη"},
    {"QPlatformTheme", "Close", "Κλείσιμο"},
    {"QPlatformTheme", "Apply", "Εφαρμογή"},
    {"QPlatformTheme", "Save", "Αποθήκευση"},
    {"QPlatformTheme", "Save All", "Αποθήκευση όλων"},
    {"QPlatformTheme", "Discard", "Απόρριψη"},
    {"QPlatformTheme", "Help", "Βοήθεια"},
    {"QPlatformTheme", "Open", "Άνοιγμα"},
    {"QPlatformTheme", "Reset", "Επαναφορά"},
    {"QPlatformTheme", "Restore Defaults", "Επαναφορά προεπιλογών"},
    {"QMessageBox", "Show Details...", "Εμφάνιση λεπτομερειών..."},
    {"QMessageBox", "Hide Details...", "Απόκρυψη λεπτομερειών..."},

    {"QLineEdit", "&Undo", "&Αναίρεση"},
    {"QLineEdit", "&Redo", "Ακύρωση α&ναίρεσης"},
    {"QLineEdit", "Cu&t", "Απο&κοπή"},
    {"QLineEdit", "&Copy", "Αντι&γραφή"},
    {"QLineEdit", "&Paste", "&Επικόλληση"},
    {"QLineEdit", "Delete", "Διαγραφή"},
    {"QLineEdit", "Select All", "Επιλογή όλων"},
    {"QWidgetTextControl", "&Undo", "&Αναίρεση"},
    {"QWidgetTextControl", "&Redo", "Ακύρωση α&ναίρεσης"},
    {"QWidgetTextControl", "Cu&t", "Απο&κοπή"},
    {"QWidgetTextControl", "&Copy", "Αντι&γραφή"},
    {"QWidgetTextControl", "&Paste", "&Επικόλληση"},
    {"QWidgetTextControl", "Delete", "Διαγραφή"},
    {"QWidgetTextControl", "Select All", "Επιλογή όλων"},
    {"QWidgetTextControl", "Copy &Link Location", "Αντιγραφή &διεύθυνσης συνδέσμου"},

    {"QScrollBar", "Scroll here", "Κύλιση εδώ"},
    {"QScrollBar", "Top", "Αρχή"},
    {"QScrollBar", "Bottom", "Τέλος"},
    {"QScrollBar", "Left edge", "Αριστερό άκρο"},
    {"QScrollBar", "Right edge", "Δεξί άκρο"},
    {"QScrollBar", "Page up", "Μία σελίδα πάνω"},
    {"QScrollBar", "Page down", "Μία σελίδα κάτω"},
    {"QScrollBar", "Page left", "Μία σελίδα αριστερά"},
    {"QScrollBar", "Page right", "Μία σελίδα δεξιά"},
    {"QScrollBar", "Scroll up", "Κύλιση πάνω"},
    {"QScrollBar", "Scroll down", "Κύλιση κάτω"},
    {"QScrollBar", "Scroll left", "Κύλιση αριστερά"},
    {"QScrollBar", "Scroll right", "Κύλιση δεξιά"},

    {"QPrintDialog", "Print", "Εκτύπωση"},
    {"QPrintDialog", "&Print", "&Εκτύπωση"},
    {"QPrintDialog", "Print to File (PDF)", "Εκτύπωση σε αρχείο (PDF)"},
    {"QPrintDialog", "Print To File ...", "Εκτύπωση σε αρχείο ..."},
    {"QPrintDialog", "&Options >>", "&Επιλογές >>"},
    {"QPrintDialog", "&Options <<", "&Επιλογές <<"},
    {"QPrintDialog", "All Pages", "Όλες οι σελίδες"},
    {"QPrintDialog", "Odd Pages", "Μονές σελίδες"},
    {"QPrintDialog", "Even Pages", "Ζυγές σελίδες"},
    {"QPrintDialog", "Local file", "Τοπικό αρχείο"},
    {"QPrintDialog", "Write PDF file", "Εγγραφή αρχείου PDF"},
    {"QPrintDialog", "Invalid Pages Definition", "Μη έγκυρος ορισμός σελίδων"},
    {"QPrintDialog", "%1 already exists.\nDo you want to overwrite it?",
     "Το %1 υπάρχει ήδη.\nΝα αντικατασταθεί;"},
    {"QPrintDialog", "%1 is a directory.\nPlease choose a different file name.",
     "Το %1 είναι φάκελος.\nΕπιλέξτε άλλο όνομα αρχείου."},
    {"QPrintDialog", "File %1 is not writable.\nPlease choose a different file name.",
     "Στο αρχείο %1 δεν γίνεται εγγραφή.\nΕπιλέξτε άλλο όνομα αρχείου."},
    {"QPrintDialog", "The 'From' value cannot be greater than the 'To' value.",
     "Η πρώτη σελίδα δεν μπορεί να είναι μετά την τελευταία."},
    {"QPrintWidget", "Printer", "Εκτυπωτής"},
    {"QPrintWidget", "&Name:", "Ό&νομα:"},
    {"QPrintWidget", "P&roperties", "Ι&διότητες"},
    {"QPrintWidget", "Location:", "Θέση:"},
    {"QPrintWidget", "Preview", "Προεπισκόπηση"},
    {"QPrintWidget", "Type:", "Τύπος:"},
    {"QPrintWidget", "Output &file:", "Αρχείο ε&ξόδου:"},
    {"QPrintSettingsOutput", "Copies", "Αντίτυπα"},
    {"QPrintSettingsOutput", "Copies:", "Αντίτυπα:"},
    {"QPrintSettingsOutput", "Collate", "Συρραφή"},
    {"QPrintSettingsOutput", "Reverse", "Αντίστροφη σειρά"},
    {"QPrintSettingsOutput", "Options", "Επιλογές"},
    {"QPrintSettingsOutput", "Output Settings", "Ρυθμίσεις εξόδου"},
    {"QPrintSettingsOutput", "Print range", "Περιοχή εκτύπωσης"},
    {"QPrintSettingsOutput", "Print all", "Όλες"},
    {"QPrintSettingsOutput", "Pages from", "Σελίδες από"},
    {"QPrintSettingsOutput", "to", "έως"},
    {"QPrintSettingsOutput", "Pages", "Σελίδες"},
    {"QPrintSettingsOutput", "Current Page", "Τρέχουσα σελίδα"},
    {"QPrintSettingsOutput", "Selection", "Επιλογή"},
    {"QPrintSettingsOutput", "Color Mode", "Χρώμα"},
    {"QPrintSettingsOutput", "Color", "Έγχρωμη"},
    {"QPrintSettingsOutput", "Grayscale", "Αποχρώσεις του γκρι"},
    {"QPrintSettingsOutput", "Double Sided Printing", "Εκτύπωση διπλής όψης"},
    {"QPrintSettingsOutput", "Off", "Όχι"},
    {"QPrintSettingsOutput", "Long side binding", "Δέσιμο στη μεγάλη πλευρά"},
    {"QPrintSettingsOutput", "Short side binding", "Δέσιμο στη μικρή πλευρά"},
    {"QPrintSettingsOutput", "Page Set:", "Σελίδες:"},
    {"QPrintPropertiesWidget", "Page", "Σελίδα"},
    {"QPrintPropertiesWidget", "Advanced", "Για προχωρημένους"},
    {"QPageSetupWidget", "Paper", "Χαρτί"},
    {"QPageSetupWidget", "Page size:", "Μέγεθος σελίδας:"},
    {"QPageSetupWidget", "Width:", "Πλάτος:"},
    {"QPageSetupWidget", "Height:", "Ύψος:"},
    {"QPageSetupWidget", "Paper source:", "Τροφοδοσία χαρτιού:"},
    {"QPageSetupWidget", "Orientation", "Προσανατολισμός"},
    {"QPageSetupWidget", "Portrait", "Κατακόρυφος"},
    {"QPageSetupWidget", "Landscape", "Οριζόντιος"},
    {"QPageSetupWidget", "Reverse landscape", "Αντίστροφος οριζόντιος"},
    {"QPageSetupWidget", "Reverse portrait", "Αντίστροφος κατακόρυφος"},
    {"QPageSetupWidget", "Margins", "Περιθώρια"},
    {"QPageSetupWidget", "top margin", "επάνω περιθώριο"},
    {"QPageSetupWidget", "bottom margin", "κάτω περιθώριο"},
    {"QPageSetupWidget", "left margin", "αριστερό περιθώριο"},
    {"QPageSetupWidget", "right margin", "δεξί περιθώριο"},
    {"QPageSetupWidget", "Page Layout", "Διάταξη σελίδας"},
    {"QPageSetupWidget", "Page order:", "Σειρά σελίδων:"},
    {"QPageSetupWidget", "Pages per sheet:", "Σελίδες ανά φύλλο:"},
    {"QPageSetupWidget", "Custom", "Προσαρμοσμένο"},
    {"QPageSetupWidget", "Millimeters (mm)", "Χιλιοστά (mm)"},
    {"QPageSetupWidget", "Inches (in)", "Ίντσες (in)"},
    {"QPageSetupWidget", "Points (pt)", "Στιγμές (pt)"},
    {"QPrintPreviewDialog", "Print Preview", "Προεπισκόπηση εκτύπωσης"},
    {"QPrintPreviewDialog", "Next page", "Επόμενη σελίδα"},
    {"QPrintPreviewDialog", "Previous page", "Προηγούμενη σελίδα"},
    {"QPrintPreviewDialog", "First page", "Πρώτη σελίδα"},
    {"QPrintPreviewDialog", "Last page", "Τελευταία σελίδα"},
    {"QPrintPreviewDialog", "Fit width", "Προσαρμογή στο πλάτος"},
    {"QPrintPreviewDialog", "Fit page", "Προσαρμογή στη σελίδα"},
    {"QPrintPreviewDialog", "Zoom in", "Μεγέθυνση"},
    {"QPrintPreviewDialog", "Zoom out", "Σμίκρυνση"},
    {"QPrintPreviewDialog", "Portrait", "Κατακόρυφος"},
    {"QPrintPreviewDialog", "Landscape", "Οριζόντιος"},
    {"QPrintPreviewDialog", "Show single page", "Μία σελίδα"},
    {"QPrintPreviewDialog", "Show facing pages", "Αντικριστές σελίδες"},
    {"QPrintPreviewDialog", "Show overview of all pages", "Όλες οι σελίδες"},
    {"QPrintPreviewDialog", "Print", "Εκτύπωση"},
    {"QPrintPreviewDialog", "Page setup", "Διαμόρφωση σελίδας"},
    {"QPrintPreviewDialog", "Page Setup", "Διαμόρφωση σελίδας"},
    {"QPrintPreviewDialog", "Export to PDF", "Εξαγωγή σε PDF"},
};

class GreekCatalogue final : public QTranslator
{
public:
    GreekCatalogue()
    {
        for (const Entry &entry : kCatalogue)
            m_texts.insert(Key(entry.context, entry.source), QString::fromUtf8(entry.greek));
    }

    QString translate(const char *context, const char *source, const char * /*disambiguation*/,
                      int /*n*/) const override
    {
        if (context == nullptr || source == nullptr)
            return {};
        return m_texts.value(Key(context, source));
    }

    bool isEmpty() const override { return false; }

private:
    static QByteArray Key(const char *context, const char *source)
    {
        return QByteArray(context) + '\0' + source;
    }

    QHash<QByteArray, QString> m_texts;
};

} // namespace

void UseGreekForQt()
{
    // Gone with an earlier application object, if any.
    static QPointer<QTranslator> installed;
    if (!installed.isNull() || QCoreApplication::instance() == nullptr)
        return;
    installed = new GreekCatalogue;
    installed->setParent(QCoreApplication::instance()); // goes with the application
    QCoreApplication::installTranslator(installed);
}

} // namespace termdex
