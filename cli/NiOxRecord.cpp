#include "cli/NiOxRecord.h"

#include <cmath>

#include "cli/IsoTime.h"

namespace xrayutils {

using namespace xray;

namespace {

const char* const kErrorKeys[] = {"error_1sigma", "error_2sigma", "error_3sigma"};

// A header value the file carries, or null.
Json HeaderValue(const EMSASpectrum& record, const char* keyword, double value) {
    return record.keywordsRead.count(keyword) != 0 ? NumberOrNull(value) : Json();
}

// ELS files keep their energies in eV.
double InKiloelectronvolts(const EMSASpectrum& record, double energy) {
    return record.signaltype == SignalType::ELS ? energy / 1000 : energy;
}

Json SpectrumBlock(const EMSASpectrum& r) {
    Json s;
    s["channels"] = r.npoints;
    s["offset_kev"] = HeaderValue(r, "OFFSET", InKiloelectronvolts(r, r.offset));
    s["step_kev"] = HeaderValue(r, "XPERCHAN", InKiloelectronvolts(r, r.xperchan));
    s["beam_kv"] = HeaderValue(r, "BEAMKV", r.beamkv);
    s["live_time_s"] = HeaderValue(r, "LIVETIME", r.livetime);
    s["real_time_s"] = HeaderValue(r, "REALTIME", r.realtime);
    s["probe_current_na"] = HeaderValue(r, "PROBECUR", r.probecur);
    s["x_tilt_deg"] = HeaderValue(r, "XTILTSTGE", r.xtiltstge);
    s["y_tilt_deg"] = HeaderValue(r, "YTILTSTGE", r.ytiltstge);
    s["acquired"] = AcquiredOf(r);
    return s;
}

Json EnergyResolutionBlock(const EnergyResolution& e) {
    return Json{{"peak_height_counts", NumberOrNull(e.peakHeight)},
                {"peak_position_kev", NumberOrNull(e.peakPosition)},
                {"sigma_ev", NumberOrNull(e.sigma)},
                {"fwhm_ni_ka_ev", NumberOrNull(e.fwhmNiKa)},
                {"fwtm_ni_ka_ev", NumberOrNull(e.fwtmNiKa)},
                {"fwhm_mn_ka_ev", NumberOrNull(e.fwhmMnKa)}};
}

Json InverseHoleCountBlock(const InverseHoleCount& h) {
    Json j = ValueWithErrors(h.ratio, h.errors);
    j["ni_k_net_counts"] = NumberOrNull(h.niNet);
    j["mo_k_net_counts"] = NumberOrNull(h.moNet);
    return j;
}

Json MoKLBlock(const MoKLRatio& m) {
    Json j = ValueWithErrors(m.ratio, m.errors);
    j["mo_k_net_counts"] = NumberOrNull(m.kNet);
    j["mo_l_net_counts"] = NumberOrNull(m.lNet);
    return j;
}

Json SolidAngleBlock(const SolidAngle& a) {
    Json j = ValueWithErrors(a.solidAngle, a.solidAngleErrors);
    j["thickness_nm"] = NumberOrNull(a.filmThickness);
    return j;
}

// Adds the block of an evaluation when it succeeded, its message under the same key in
// "errors" when it failed, and nothing when it was not selected.
template <typename Result, typename Block>
void AddEvaluation(Json& record, Json& errors, const char* key,
                   const Evaluation<Result>& evaluation, Block block) {
    if (evaluation.result)
        record[key] = block(*evaluation.result);
    else if (evaluation.Failed())
        errors[key] = evaluation.error;
}

void AddResults(Json& record, const NiOxResults& r) {
    Json errors = Json::object();
    AddEvaluation(record, errors, "energy_resolution", r.energyResolution, EnergyResolutionBlock);
    AddEvaluation(record, errors, "inverse_hole_count", r.inverseHoleCount, InverseHoleCountBlock);
    AddEvaluation(record, errors, "fiori_pb", r.fioriPB, [](const PeakToBackground& p) {
        return ValueWithErrors(p.fiori, p.fioriErrors);
    });
    AddEvaluation(record, errors, "total_pb", r.totalPB, [](const PeakToBackground& p) {
        return ValueWithErrors(p.total, p.totalErrors);
    });
    AddEvaluation(record, errors, "mo_kl_ratio", r.moKL, MoKLBlock);
    AddEvaluation(record, errors, "solid_angle_sr", r.solidAngle, SolidAngleBlock);
    AddEvaluation(
        record, errors, "detector_efficiency", r.detectorEfficiency,
        [](const SolidAngle& a) { return ValueWithErrors(a.efficiency, a.efficiencyErrors); });
    AddEvaluation(record, errors, "normalized_detector_efficiency", r.detectorEfficiency,
                  [](const SolidAngle& a) {
                      return ValueWithErrors(a.normalisedEfficiency, a.normalisedEfficiencyErrors);
                  });
    record["errors"] = std::move(errors);
}

std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (char c : text)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

std::string CellText(const Json& value) {
    if (value.is_null())
        return "";
    if (value.is_string())
        return value.get<std::string>();
    return value.dump();
}

std::string ErrorsText(const Json& errors) {
    std::string text;
    for (const auto& [key, message] : errors.items())
        text += (text.empty() ? "" : "; ") + key + ": " + message.get<std::string>();
    return text;
}

}  // namespace

Json NumberOrNull(double value) {
    return std::isfinite(value) ? Json(value) : Json();
}

Json ValueWithErrors(double value, const SigmaErrors& errors) {
    Json j{{"value", NumberOrNull(value)}};
    for (int k = 0; k < 3; ++k)
        j[kErrorKeys[k]] = NumberOrNull(errors[k]);
    return j;
}

Json AcquiredOf(const EMSASpectrum& record) {
    const bool given =
        record.keywordsRead.count("DATE") != 0 && record.keywordsRead.count("TIME") != 0;
    if (!given || !IsCalendarTime(record.acquired))
        return Json();
    return IsoTimeText(record.acquired);
}

Json NiOxRecord(const SpectrumEvaluation& evaluation) {
    const ReadSpectrum& s = evaluation.spectrum;
    Json record{{"file", s.file}, {"name", s.name}};
    if (!s.readError.empty()) {
        record["error"] = s.readError;
        return record;
    }
    record["spectrum"] = SpectrumBlock(s.record);
    AddResults(record, evaluation.results);
    return record;
}

const std::vector<std::string>& NiOxCsvColumns() {
    static const std::vector<std::string> columns = [] {
        std::vector<std::string> c = {"file", "name", "error"};
        for (const char* key :
             {"channels", "offset_kev", "step_kev", "beam_kv", "live_time_s", "real_time_s",
              "probe_current_na", "x_tilt_deg", "y_tilt_deg", "acquired"})
            c.push_back(std::string("spectrum.") + key);
        for (const char* key : {"peak_height_counts", "peak_position_kev", "sigma_ev",
                                "fwhm_ni_ka_ev", "fwtm_ni_ka_ev", "fwhm_mn_ka_ev"})
            c.push_back(std::string("energy_resolution.") + key);
        const auto withErrors = [&c](const std::string& block,
                                     std::initializer_list<const char*> extra) {
            for (const char* key : {"value", "error_1sigma", "error_2sigma", "error_3sigma"})
                c.push_back(block + "." + key);
            for (const char* key : extra)
                c.push_back(block + "." + key);
        };
        withErrors("inverse_hole_count", {"ni_k_net_counts", "mo_k_net_counts"});
        withErrors("fiori_pb", {});
        withErrors("total_pb", {});
        withErrors("mo_kl_ratio", {"mo_k_net_counts", "mo_l_net_counts"});
        withErrors("solid_angle_sr", {"thickness_nm"});
        withErrors("detector_efficiency", {});
        withErrors("normalized_detector_efficiency", {});
        c.push_back("errors");
        return c;
    }();
    return columns;
}

void WriteCsvRow(std::ostream& out, const std::vector<std::string>& cells) {
    for (size_t k = 0; k < cells.size(); ++k)
        out << (k == 0 ? "" : ",") << CsvField(cells[k]);
    out << "\n";
}

std::vector<std::string> NiOxCsvCells(const Json& record) {
    std::vector<std::string> cells;
    for (const std::string& column : NiOxCsvColumns()) {
        const size_t dot = column.find('.');
        if (column == "errors") {
            cells.push_back(record.contains("errors") ? ErrorsText(record["errors"]) : "");
        } else if (dot == std::string::npos) {
            cells.push_back(record.contains(column) ? CellText(record[column]) : "");
        } else {
            const std::string block = column.substr(0, dot);
            const std::string key = column.substr(dot + 1);
            const bool present = record.contains(block) && record[block].contains(key);
            cells.push_back(present ? CellText(record[block][key]) : "");
        }
    }
    return cells;
}

}  // namespace xrayutils
