// QcStore: the detector-QC history in one SQLite file: detectors, their entries (one
// evaluated NiOx spectrum each, with its channels and calibration), reference entries and
// control limits.
//
// Opening checks the file before anything is written to it. A path with no file, or with
// an empty file, is a new history: opened for writing it is created (its folder must
// exist), opened for reading it reads as a history without detectors and nothing is
// created. Any other file must be a QC history of this schema version or an older one
// (SQLite's application_id marks it, PRAGMA user_version holds the version) and must pass
// SQLite's quick check; otherwise QcError says what the file is, and it is left byte for
// byte as it was.
//
// Every change is one transaction, so a process killed in the middle leaves whole entries
// only. The file is kept in write-ahead-log mode with a busy timeout, so several processes
// may add at once; each waits for the others' short transactions. Foreign keys are
// enforced. Failures the user can mend (unknown detector, entry, quantity; a file that is
// not a QC history) throw QcError; failures of SQLite itself throw SqliteError. One store
// is used by one thread at a time.
#ifndef XRAY_CLI_QCSTORE_H
#define XRAY_CLI_QCSTORE_H

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cli/QcHistory.h"
#include "cli/SpectrumEvaluation.h"
#include "cli/Sqlite.h"
#include "niox/SolidAngle.h"

namespace xrayutils {

// A spectrum to record: the evaluation of its file and where it goes.
struct QcNewEntry {
    std::string detector;
    std::string acquired;  // "YYYY-MM-DDThh:mm:ss"
    std::string note;
    const SpectrumEvaluation* evaluation = nullptr;  // REQUIRES: the file was read
};

struct QcAddOutcome {
    int64_t id = 0;
    bool added = false;  // false: the same spectrum was already recorded as entry `id`
};

// An entry's spectrum as recorded, enough to evaluate it again or to draw it.
struct QcSpectrum {
    std::vector<double> counts;         // channels, each a 4-byte real as the module keeps them
    float offset = 0.0f;                // keV, the energy of channel 0
    float step = 0.0f;                  // keV per channel
    xray::SolidAngleInput acquisition;  // as the solid angle read them, thickness included

    xray::NiOxSpectrum AsNiOxSpectrum() const;
};

// Where the history lives when no --db is given: $XDG_DATA_HOME/xrayutils/qc.sqlite when
// that variable holds an absolute path, else $HOME/.local/share/xrayutils/qc.sqlite. Throws
// QcError when neither is set.
std::string DefaultQcDatabasePath(const char* xdgDataHome, const char* home);

class QcStore {
  public:
    enum class Access { kRead, kWrite };

    static constexpr int64_t kApplicationId = 0x58525143;  // "XRQC"
    static constexpr int64_t kSchemaVersion = 1;

    QcStore(const std::string& path, Access access);

    // Records the spectrum unless the detector already has one with the same acquisition
    // time and channel data. A new detector is created with its first entry.
    QcAddOutcome Add(const QcNewEntry& entry);

    // Every detector with entries, by name.
    std::vector<QcDetector> Detectors();

    // The detector's entries in acquisition order (equal times by id), with their tracked
    // values and contamination against the reference. Throws QcError for an unknown detector.
    std::vector<QcEntry> Entries(const std::string& detector);

    QcSpectrum Spectrum(int64_t entry);

    // The entry becomes the reference of its detector. Throws QcError for an unknown
    // detector or entry, or an entry of another detector.
    void SetReference(const std::string& detector, int64_t entry);

    // Culls the entry or takes it back. Throws QcError for an unknown entry.
    void SetCulled(int64_t entry, bool culled);

    // Each limit replaces the detector's earlier limits of its quantity; the others stay.
    void SaveLimits(const std::string& detector, const std::vector<QcLimit>& limits);

    // The detector's current limits in tracked-quantity order (quantities without limits
    // are left out).
    std::vector<QcLimit> Limits(const std::string& detector);

    const std::string& Path() const { return fPath; }
    SqliteDatabase& Database() { return *fDatabase; }

  private:
    void OpenExisting(Access access);
    void OpenNew(Access access);
    void Validate();
    void CreateSchema();
    void UseWriteAheadLog();
    int64_t DetectorId(const std::string& detector);
    int64_t AddDetector(const std::string& detector);

    std::string fPath;
    std::optional<SqliteDatabase> fDatabase;
};

}  // namespace xrayutils

#endif  // XRAY_CLI_QCSTORE_H
