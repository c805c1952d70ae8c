#include "cli/QcStore.h"

#include <array>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <limits>

#include "cli/IsoTime.h"
#include "port/Platform.h"

namespace xrayutils {

using namespace xray;

namespace {

constexpr int kBusyTimeoutMilliseconds = 20000;

// Version 1. detectors.reference_entry is NULL while the earliest entry is the reference.
// Channels are little-endian 4-byte reals; the acquisition values are those the solid
// angle read; the record is the niox JSON record.
constexpr const char* kSchema = R"sql(
CREATE TABLE detectors (
    id INTEGER PRIMARY KEY,
    name TEXT NOT NULL UNIQUE,
    reference_entry INTEGER REFERENCES entries (id)
);
CREATE TABLE entries (
    id INTEGER PRIMARY KEY,
    detector_id INTEGER NOT NULL REFERENCES detectors (id),
    acquired TEXT NOT NULL,
    file TEXT NOT NULL,
    note TEXT NOT NULL,
    thickness_nm REAL,
    channel_count INTEGER NOT NULL,
    offset_kev REAL NOT NULL,
    step_kev REAL NOT NULL,
    channels BLOB NOT NULL CHECK (length(channels) = 4 * channel_count),
    beam_kv REAL,
    live_time_s REAL,
    probe_current_na REAL,
    x_tilt_deg REAL,
    y_tilt_deg REAL,
    record TEXT NOT NULL,
    program_version TEXT NOT NULL,
    recorded TEXT NOT NULL,
    culled INTEGER NOT NULL DEFAULT 0 CHECK (culled IN (0, 1))
);
CREATE INDEX entries_by_acquisition ON entries (detector_id, acquired);
CREATE TABLE limits (
    detector_id INTEGER NOT NULL REFERENCES detectors (id),
    quantity TEXT NOT NULL,
    low REAL NOT NULL,
    high REAL NOT NULL,
    mean REAL NOT NULL,
    s REAL NOT NULL,
    source TEXT NOT NULL CHECK (source IN ('baseline', 'set')),
    value_count INTEGER NOT NULL,
    basis TEXT NOT NULL,
    set_at TEXT NOT NULL,
    PRIMARY KEY (detector_id, quantity)
);
)sql";

constexpr char kSqliteMagic[] = "SQLite format 3";  // and its terminating zero: 16 bytes
constexpr size_t kHeaderBytes = 100;

enum class FileState { kNew, kExisting };

std::string Unchanged(const std::string& path, const std::string& what) {
    return path + " " + what + "; it is left unchanged";
}

uint32_t BigEndianAt(const std::array<unsigned char, kHeaderBytes>& header, size_t at) {
    return (uint32_t{header[at]} << 24) | (uint32_t{header[at + 1]} << 16) |
           (uint32_t{header[at + 2]} << 8) | uint32_t{header[at + 3]};
}

// What the file at `path` is, from its size and its SQLite header alone, before SQLite opens
// it (which may roll back a journal or write a log beside it). Throws QcError for a file
// that cannot be a QC history of this version.
FileState InspectFile(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (!fs::exists(status))
        return FileState::kNew;
    if (!fs::is_regular_file(status))
        throw QcError(Unchanged(path, "is not a file, so not a QC database"));
    const uintmax_t size = fs::file_size(path, error);
    if (!error && size == 0)
        return FileState::kNew;
    std::array<unsigned char, kHeaderBytes> header{};
    std::ifstream file(path, std::ios::binary);
    if (!file.read(reinterpret_cast<char*>(header.data()), kHeaderBytes) ||
        std::memcmp(header.data(), kSqliteMagic, sizeof kSqliteMagic) != 0)
        throw QcError(Unchanged(path, "is not a QC database: it is not an SQLite database"));
    if (BigEndianAt(header, 68) != QcStore::kApplicationId)
        throw QcError(Unchanged(path,
                                "is an SQLite database of another program, not a QC "
                                "database of xrayutils"));
    const uint32_t version = BigEndianAt(header, 60);
    if (version > QcStore::kSchemaVersion)
        throw QcError(Unchanged(path, "is a QC database of a newer xrayutils (schema version " +
                                          std::to_string(version) + "; this one reads up to " +
                                          std::to_string(QcStore::kSchemaVersion) + ")"));
    return FileState::kExisting;
}

std::string UtcNow() {
    const std::tm t = port::UniversalTime(std::time(nullptr));
    CalendarTime c;
    c.year = t.tm_year + 1900;
    c.month = t.tm_mon;
    c.day = t.tm_mday;
    c.hour = t.tm_hour;
    c.minute = t.tm_min;
    c.second = t.tm_sec;
    return IsoTimeText(c) + "Z";
}

std::vector<unsigned char> EncodeChannels(const std::vector<double>& counts) {
    std::vector<unsigned char> bytes;
    bytes.reserve(4 * counts.size());
    for (const double count : counts) {
        const float value = static_cast<float>(count);  // already a 4-byte real: exact
        uint32_t bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        for (int shift = 0; shift < 32; shift += 8)
            bytes.push_back(static_cast<unsigned char>(bits >> shift));
    }
    return bytes;
}

std::vector<double> DecodeChannels(const std::vector<unsigned char>& bytes) {
    std::vector<double> counts;
    counts.reserve(bytes.size() / 4);
    for (size_t k = 0; k + 4 <= bytes.size(); k += 4) {
        uint32_t bits = 0;
        for (int b = 0; b < 4; ++b)
            bits |= uint32_t{bytes[k + b]} << (8 * b);
        float value = 0.0f;
        std::memcpy(&value, &bits, sizeof value);
        counts.push_back(value);
    }
    return counts;
}

// The spectrum of an entry row as the contamination reads it.
ReadSpectrum SpectrumOfRow(const SqliteStatement& row, int channels, int offset, int step) {
    ReadSpectrum s;
    s.counts = DecodeChannels(row.Blob(channels));
    s.offset = static_cast<float>(row.Real(offset));
    s.step = static_cast<float>(row.Real(step));
    return s;
}

double RealOrNan(const SqliteStatement& row, int column) {
    return row.OptionalReal(column).value_or(std::numeric_limits<double>::quiet_NaN());
}

}  // namespace

NiOxSpectrum QcSpectrum::AsNiOxSpectrum() const {
    return NiOxSpectrum{counts.data(), static_cast<int32_t>(counts.size()), offset, step};
}

std::string DefaultQcDatabasePath(const char* xdgDataHome, const char* home) {
    const std::string relative = "xrayutils/qc.sqlite";
    if (xdgDataHome != nullptr && xdgDataHome[0] == '/')
        return std::string(xdgDataHome) + "/" + relative;
    if (home != nullptr && home[0] != '\0')
        return std::string(home) + "/.local/share/" + relative;
    throw QcError(
        "no place for the QC database: neither XDG_DATA_HOME nor HOME is set; "
        "give one with --db PATH");
}

// ---- Opening

QcStore::QcStore(const std::string& path, Access access) : fPath(path) {
    try {
        if (InspectFile(path) == FileState::kNew)
            OpenNew(access);
        else
            OpenExisting(access);
    } catch (const SqliteError& e) {
        throw QcError("cannot use the QC database " + path + ": " + e.what());
    }
}

void QcStore::OpenExisting(Access access) {
    fDatabase.emplace(fPath, SqliteDatabase::Mode::kReadWrite);
    fDatabase->SetBusyTimeout(kBusyTimeoutMilliseconds);
    try {
        Validate();
    } catch (const SqliteError& e) {
        throw QcError(Unchanged(fPath, std::string("is a damaged QC database (") + e.what() + ")"));
    }
    fDatabase->Execute("PRAGMA foreign_keys = ON");
    if (access == Access::kWrite)
        UseWriteAheadLog();
}

// A new history is created in one transaction while holding the write lock; a process
// that finds another's history there by then checks it like any existing one. It is made
// with a rollback journal, so its header (application id, version) is in the file itself
// once committed, then switched to the write-ahead log.
void QcStore::OpenNew(Access access) {
    if (access == Access::kRead) {  // nothing to read: an empty history, and no file made
        fDatabase.emplace(":memory:", SqliteDatabase::Mode::kReadWriteCreate);
        CreateSchema();
        return;
    }
    fDatabase.emplace(fPath, SqliteDatabase::Mode::kReadWriteCreate);
    fDatabase->SetBusyTimeout(kBusyTimeoutMilliseconds);
    bool created = false;
    {
        SqliteTransaction write(*fDatabase, SqliteTransaction::Kind::kImmediate);
        if (fDatabase->QueryInt("SELECT count(*) FROM sqlite_master") == 0 &&
            fDatabase->QueryInt("PRAGMA application_id") == 0) {
            fDatabase->Execute(kSchema);
            fDatabase->Execute("PRAGMA application_id = " + std::to_string(kApplicationId));
            fDatabase->Execute("PRAGMA user_version = " + std::to_string(kSchemaVersion));
            created = true;
        }
        write.Commit();
    }
    if (!created)
        Validate();
    fDatabase->Execute("PRAGMA foreign_keys = ON");
    UseWriteAheadLog();
}

void QcStore::Validate() {
    SqliteTransaction read(*fDatabase, SqliteTransaction::Kind::kDeferred);
    if (fDatabase->QueryInt("PRAGMA application_id") != kApplicationId)
        throw QcError(Unchanged(fPath,
                                "is an SQLite database of another program, not a QC "
                                "database of xrayutils"));
    const int64_t version = fDatabase->QueryInt("PRAGMA user_version");
    if (version > kSchemaVersion)
        throw QcError(Unchanged(fPath, "is a QC database of a newer xrayutils (schema version " +
                                           std::to_string(version) + "; this one reads up to " +
                                           std::to_string(kSchemaVersion) + ")"));
    if (version < 1)
        throw QcError(Unchanged(fPath, "is a damaged QC database (no schema version)"));
    const std::string check = fDatabase->QueryText("PRAGMA quick_check");
    if (check != "ok")
        throw QcError(Unchanged(fPath, "is a damaged QC database (" + check + ")"));
    read.Commit();
}

void QcStore::CreateSchema() {
    SqliteTransaction write(*fDatabase, SqliteTransaction::Kind::kImmediate);
    fDatabase->Execute(kSchema);
    write.Commit();
}

// Another process reading at this moment keeps the mode from changing; it stays as it was
// and the next writer tries again.
void QcStore::UseWriteAheadLog() {
    fDatabase->QueryText("PRAGMA journal_mode = WAL");
}

// ---- Detectors

int64_t QcStore::DetectorId(const std::string& detector) {
    SqliteStatement find = fDatabase->Prepare("SELECT id FROM detectors WHERE name = ?");
    find.Bind(1, detector);
    if (find.Step())
        return find.Int(0);
    std::string known;
    SqliteStatement names = fDatabase->Prepare("SELECT name FROM detectors ORDER BY name");
    while (names.Step())
        known += (known.empty() ? "" : ", ") + names.Text(0);
    throw QcError("no detector called \"" + detector + "\" in " + fPath +
                  (known.empty() ? " (it has none yet)" : " (it has " + known + ")"));
}

int64_t QcStore::AddDetector(const std::string& detector) {
    SqliteStatement add = fDatabase->Prepare("INSERT OR IGNORE INTO detectors (name) VALUES (?)");
    add.Bind(1, detector).Run();
    return DetectorId(detector);
}

std::vector<QcDetector> QcStore::Detectors() {
    SqliteStatement s = fDatabase->Prepare(R"sql(
        SELECT d.name, count(e.id), min(e.acquired), max(e.acquired),
               coalesce(d.reference_entry, (SELECT r.id FROM entries r WHERE r.detector_id = d.id
                                            ORDER BY r.acquired, r.id LIMIT 1))
        FROM detectors d LEFT JOIN entries e ON e.detector_id = d.id
        GROUP BY d.id ORDER BY d.name)sql");
    std::vector<QcDetector> detectors;
    while (s.Step())
        detectors.push_back(QcDetector{s.Text(0), s.Int(1), s.Text(2), s.Text(3), s.Int(4)});
    return detectors;
}

// ---- Entries

QcAddOutcome QcStore::Add(const QcNewEntry& entry) {
    if (entry.detector.empty())
        throw QcError("a detector needs a name");
    const SpectrumEvaluation& e = *entry.evaluation;
    const std::vector<unsigned char> channels = EncodeChannels(e.spectrum.counts);
    const SolidAngleInput a = AcquisitionOf(e.spectrum.record, e.thickness.value_or(0.0));
    const std::string record = NiOxRecord(e).dump();

    SqliteTransaction write(*fDatabase, SqliteTransaction::Kind::kImmediate);
    const int64_t detector = AddDetector(entry.detector);
    SqliteStatement same = fDatabase->Prepare(
        "SELECT id FROM entries WHERE detector_id = ? AND acquired = ? AND channels = ?");
    same.Bind(1, detector).Bind(2, entry.acquired).BindBlob(3, channels);
    if (same.Step())
        return QcAddOutcome{same.Int(0), false};  // the transaction rolls back: nothing changed

    SqliteStatement add = fDatabase->Prepare(R"sql(
        INSERT INTO entries (detector_id, acquired, file, note, thickness_nm, channel_count,
                             offset_kev, step_kev, channels, beam_kv, live_time_s,
                             probe_current_na, x_tilt_deg, y_tilt_deg, record, program_version,
                             recorded)
        VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?))sql");
    add.Bind(1, detector).Bind(2, entry.acquired).Bind(3, e.spectrum.file).Bind(4, entry.note);
    add.Bind(5, e.thickness).Bind(6, static_cast<int64_t>(e.spectrum.counts.size()));
    add.Bind(7, static_cast<double>(e.spectrum.offset))
        .Bind(8, static_cast<double>(e.spectrum.step));
    add.BindBlob(9, channels).Bind(10, a.voltage).Bind(11, a.liveTime).Bind(12, a.probeCurrent);
    add.Bind(13, a.xTilt).Bind(14, a.yTilt).Bind(15, record).Bind(16, XRAY_PROGRAM_VERSION);
    add.Bind(17, UtcNow()).Run();
    const int64_t id = fDatabase->LastInsertId();
    write.Commit();
    return QcAddOutcome{id, true};
}

std::vector<QcEntry> QcStore::Entries(const std::string& detector) {
    SqliteTransaction read(*fDatabase, SqliteTransaction::Kind::kDeferred);
    const int64_t detectorId = DetectorId(detector);
    SqliteStatement s = fDatabase->Prepare(R"sql(
        SELECT id, acquired, file, note, culled, thickness_nm, recorded, program_version, record,
               channels, offset_kev, step_kev,
               id = coalesce((SELECT reference_entry FROM detectors WHERE id = ?1),
                             (SELECT r.id FROM entries r WHERE r.detector_id = ?1
                              ORDER BY r.acquired, r.id LIMIT 1))
        FROM entries WHERE detector_id = ?1 ORDER BY acquired, id)sql");
    s.Bind(1, detectorId);
    std::vector<QcEntry> entries;
    std::vector<ReadSpectrum> spectra;
    size_t reference = 0;
    while (s.Step()) {
        QcEntry entry;
        entry.id = s.Int(0);
        entry.detector = detector;
        entry.acquired = s.Text(1);
        entry.file = s.Text(2);
        entry.note = s.Text(3);
        entry.culled = s.Int(4) != 0;
        entry.thickness = s.OptionalReal(5);
        entry.recorded = s.Text(6);
        entry.programVersion = s.Text(7);
        entry.record = Json::parse(s.Text(8), nullptr, false);
        if (entry.record.is_discarded())
            throw QcError(fPath + " is a damaged QC database: the record of entry " +
                          std::to_string(entry.id) + " is not JSON");
        entry.reference = s.Int(12) != 0;
        if (entry.reference)
            reference = entries.size();
        spectra.push_back(SpectrumOfRow(s, 9, 10, 11));
        entries.push_back(std::move(entry));
    }
    read.Commit();
    for (size_t k = 0; k < entries.size(); ++k) {
        if (!entries[k].reference)
            entries[k].contamination = ContaminationAgainst(spectra[k], spectra[reference]);
        entries[k].values = TrackedValues(entries[k].record, entries[k].contamination);
    }
    return entries;
}

QcSpectrum QcStore::Spectrum(int64_t entry) {
    SqliteStatement s = fDatabase->Prepare(R"sql(
        SELECT channels, offset_kev, step_kev, beam_kv, live_time_s, probe_current_na,
               x_tilt_deg, y_tilt_deg, thickness_nm FROM entries WHERE id = ?)sql");
    s.Bind(1, entry);
    if (!s.Step())
        throw QcError("no entry " + std::to_string(entry) + " in " + fPath);
    QcSpectrum spectrum;
    const ReadSpectrum read = SpectrumOfRow(s, 0, 1, 2);
    spectrum.counts = read.counts;
    spectrum.offset = read.offset;
    spectrum.step = read.step;
    spectrum.acquisition.voltage = RealOrNan(s, 3);
    spectrum.acquisition.liveTime = RealOrNan(s, 4);
    spectrum.acquisition.probeCurrent = RealOrNan(s, 5);
    spectrum.acquisition.xTilt = RealOrNan(s, 6);
    spectrum.acquisition.yTilt = RealOrNan(s, 7);
    spectrum.acquisition.filmThickness = s.OptionalReal(8).value_or(0.0);
    return spectrum;
}

void QcStore::SetReference(const std::string& detector, int64_t entry) {
    SqliteTransaction write(*fDatabase, SqliteTransaction::Kind::kImmediate);
    const int64_t detectorId = DetectorId(detector);
    SqliteStatement owner = fDatabase->Prepare("SELECT detector_id FROM entries WHERE id = ?");
    owner.Bind(1, entry);
    if (!owner.Step())
        throw QcError("no entry " + std::to_string(entry) + " in " + fPath);
    if (owner.Int(0) != detectorId)
        throw QcError("entry " + std::to_string(entry) + " is not an entry of detector \"" +
                      detector + "\"");
    SqliteStatement set =
        fDatabase->Prepare("UPDATE detectors SET reference_entry = ? WHERE id = ?");
    set.Bind(1, entry).Bind(2, detectorId).Run();
    write.Commit();
}

void QcStore::SetCulled(int64_t entry, bool culled) {
    SqliteTransaction write(*fDatabase, SqliteTransaction::Kind::kImmediate);
    SqliteStatement set = fDatabase->Prepare("UPDATE entries SET culled = ? WHERE id = ?");
    set.Bind(1, int64_t{culled}).Bind(2, entry).Run();
    if (fDatabase->Changes() == 0)
        throw QcError("no entry " + std::to_string(entry) + " in " + fPath);
    write.Commit();
}

// ---- Limits

void QcStore::SaveLimits(const std::string& detector, const std::vector<QcLimit>& limits) {
    SqliteTransaction write(*fDatabase, SqliteTransaction::Kind::kImmediate);
    const int64_t detectorId = DetectorId(detector);
    const std::string now = UtcNow();
    SqliteStatement save = fDatabase->Prepare(R"sql(
        INSERT OR REPLACE INTO limits (detector_id, quantity, low, high, mean, s, source,
                                       value_count, basis, set_at)
        VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?))sql");
    for (const QcLimit& limit : limits) {
        QcQuantityIndex(limit.quantity);
        save.Bind(1, detectorId).Bind(2, limit.quantity).Bind(3, limit.low).Bind(4, limit.high);
        save.Bind(5, limit.mean).Bind(6, limit.s).Bind(7, limit.source).Bind(8, limit.count);
        save.Bind(9, limit.basis).Bind(10, now).Run();
        save.Reset();
    }
    write.Commit();
}

std::vector<QcLimit> QcStore::Limits(const std::string& detector) {
    SqliteTransaction read(*fDatabase, SqliteTransaction::Kind::kDeferred);
    const int64_t detectorId = DetectorId(detector);
    SqliteStatement s = fDatabase->Prepare(
        "SELECT quantity, low, high, mean, s, source, value_count, basis FROM limits "
        "WHERE detector_id = ?");
    s.Bind(1, detectorId);
    std::vector<std::optional<QcLimit>> byQuantity(QcTrackedQuantities().size());
    while (s.Step()) {
        QcLimit limit{s.Text(0), s.Real(1), s.Real(2), s.Real(3),
                      s.Real(4), s.Text(5), s.Int(6),  s.Text(7)};
        byQuantity.at(QcQuantityIndex(limit.quantity)) = limit;
    }
    read.Commit();
    std::vector<QcLimit> limits;
    for (const std::optional<QcLimit>& limit : byQuantity)
        if (limit)
            limits.push_back(*limit);
    return limits;
}

}  // namespace xrayutils
