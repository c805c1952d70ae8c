// StandInHost: a small, faithful implementation of the host side of the plug-in interface.
//
// It hands out the three interface objects of interface/DMPlugInInterface.h (HostInterface,
// HostContext, ClassInterface) at the host's table positions, keeps reference-counted host
// objects (images, tag groups and lists, strings, throwables, functions, script classes),
// implements every host script function the module looks up by signature, installs and
// calls the module's own script functions, and records what a test needs to see: the
// Results text, alerts, the pending exception, a call log and a reference audit. Faults can
// be switched on for single calls. It holds no X-ray logic.
//
// Ownership, as across the binary interface: a DM_Object a host operation returns carries
// one reference for the caller; a DM_Object passed to the host is borrowed. On the C++ side
// of this API the same rule holds, wrapped in ObjectRef (which releases its reference when
// destroyed) wherever the caller receives one. Functions here that take a DM_Object borrow
// it and throw std::invalid_argument when it is not a live object of the expected class.
//
// Lifetime: the host must outlive every module linked to it and every ObjectRef it made;
// the module releases its references to the host interface when it is unloaded.
//
// Threads: one thread at a time, like the real host's script thread.
//
// Image data: ImageLockData returns an opaque lock pointer; ImageGetLockedData returns the
// first element and writes, for each dimension, the pair (element count, stride in
// elements) through its two `long *` pointers. Elements are stored contiguously, dimension
// 0 varying fastest.
#ifndef XRAY_HOST_STANDINHOST_H
#define XRAY_HOST_STANDINHOST_H

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "interface/DMPlugInInterface.h"

namespace dmhost {

class StandInHost;
class HostState;

// The host version the stand-in reports unless told otherwise (3.8.0).
constexpr uint32_t kDefaultHostVersion = 0x03080000u;

// Host data-type codes the stand-in supports.
enum DataTypeCode : uint32_t {
    kInt16Data = 1,    // signed 2-byte integer
    kReal4Data = 2,    // 4-byte real
    kUInt8Data = 6,    // unsigned 1-byte integer
    kInt32Data = 7,    // signed 4-byte integer
    kInt8Data = 9,     // signed 1-byte integer
    kUInt16Data = 10,  // unsigned 2-byte integer
    kUInt32Data = 11,  // unsigned 4-byte integer
    kReal8Data = 12,   // 8-byte real
};

// Bytes per element of a supported data type; 0 for any other code.
uint32_t DataTypeSize(uint32_t dataType);

// Host object classes, as counted by the audit.
enum class ObjectClass { kImage, kTagGroup, kString, kThrowable, kFunction, kScriptClass };
constexpr int kObjectClassCount = 6;
const char* ObjectClassName(ObjectClass objectClass);

// ---- Values of the C++ API --------------------------------------------------------------

// One reference to a host object, released (through the host) when destroyed. Empty when
// the object is null. Move-only.
class ObjectRef {
  public:
    ObjectRef() = default;
    // Takes over one reference the caller owns on `object` (may be null).
    ObjectRef(StandInHost& host, DM_Object object) : fHost(&host), fObject(object) {}
    explicit ObjectRef(StandInHost& host) : fHost(&host) {}
    ObjectRef(ObjectRef&& other) noexcept;
    ObjectRef& operator=(ObjectRef&& other) noexcept;
    ObjectRef(const ObjectRef&) = delete;
    ObjectRef& operator=(const ObjectRef&) = delete;
    ~ObjectRef();

    DM_Object get() const { return fObject; }
    explicit operator bool() const { return fObject != nullptr; }
    // Hands the raw object with its reference to the caller; the ObjectRef becomes empty.
    DM_Object release();
    // Releases the held reference now.
    void reset();
    // The address of the held raw object, for a script function's output argument: the
    // function may release what is there and store an object carrying one reference, which
    // this ObjectRef then owns. REQUIRES: the ObjectRef was made with a host.
    DM_Object* slot() { return &fObject; }
    StandInHost* host() const { return fHost; }

  private:
    StandInHost* fHost = nullptr;
    DM_Object fObject = nullptr;
};

enum class TagKind { kLong, kDouble, kString, kGroup, kList };

// A tag value with its label: a leaf (long, double, string) or a group or list with its
// members in order. Used both to build tags and to read a tag tree back.
struct TagValue {
    TagKind kind = TagKind::kGroup;
    std::string label;  // empty for list items
    int32_t longValue = 0;
    double doubleValue = 0.0;
    std::string text;
    std::vector<TagValue> members;  // group or list members, in order

    static TagValue Long(std::string label, int32_t value);
    static TagValue Double(std::string label, double value);
    static TagValue String(std::string label, std::string value);
    static TagValue Group(std::string label, std::vector<TagValue> members = {});
    static TagValue List(std::string label, std::vector<TagValue> items = {});

    // The member at a colon-separated label path below this group ("EDS:Live time"), or
    // null when there is none.
    const TagValue* Find(std::string_view path) const;
};

// Calibration of one dimension: value = origin + scale * index, as stored (never adjusted).
struct DimensionCalibration {
    float origin = 0.0f;
    float scale = 1.0f;
    std::string units;
};

// What MakeImage builds. Values are converted to dataType as ImageChangeDataType would.
struct ImageSpec {
    std::string name;
    uint32_t dataType = kReal8Data;
    std::vector<uint32_t> dimensions;  // empty: one dimension of values.size()
    std::vector<double> values;        // element count must equal the product of dimensions
    std::vector<DimensionCalibration> calibrations;  // per dimension; missing ones default
    std::string intensityUnit;
    std::vector<TagValue> tags;  // members of the root tag group, in order
};

// Everything about an image, read back at one moment.
struct ImageSnapshot {
    std::string name;
    uint32_t dataType = 0;
    std::vector<uint32_t> dimensions;
    std::vector<double> values;  // every element, converted to double
    std::vector<DimensionCalibration> calibrations;
    std::string intensityUnit;
    TagValue tags;                 // the root tag group
    int32_t lockCount = 0;         // ImageLockData calls not yet unlocked
    int32_t dataChangedCount = 0;  // ImageDataChanged calls on this image
    bool valid = true;
};

struct Alert {
    std::string text;
    int32_t kind = 0;
};

// A function installed by the module (InstallFunction).
struct InstalledFunction {
    std::string signature;
    std::string name;  // parsed from the signature
    uint32_t flags = 0;
};

// One argument of a script call, as a script would pass it.
struct ScriptValue {
    enum class Kind { kObject, kString, kBool, kNumber, kImageOutput };
    Kind kind = Kind::kObject;
    DM_Object object = nullptr;   // kObject: borrowed handle (image or string), may be null
    std::string text;             // kString: a String made for a dm_string parameter
    bool flag = false;            // kBool
    double number = 0.0;          // kNumber: converted to the parameter's type (double, ulong...)
    ObjectRef* output = nullptr;  // kImageOutput: the script's image variable

    static ScriptValue Image(DM_Object borrowed);
    static ScriptValue Object(DM_Object borrowed);
    static ScriptValue String(std::string text);
    static ScriptValue Bool(bool value);
    static ScriptValue Number(double value);
    static ScriptValue Output(ObjectRef& variable);
};

// What a script sees after calling a script function.
struct ScriptResult {
    ObjectRef value;        // the returned handle with its one reference; empty for void or null
    std::string text;       // the characters of a returned dm_string
    bool failed = false;    // the function left a pending exception
    int32_t errorCode = 0;  // the pending throwable's code
    std::string error;      // the pending throwable's message, as the host shows it
};

// Live host objects and the references held on them outside the host, by class, plus the
// interface objects. Two snapshots compare equal when nothing was taken or left over.
struct AuditSnapshot {
    std::array<int32_t, kObjectClassCount> objects{};     // live objects
    std::array<int32_t, kObjectClassCount> references{};  // references held outside the host
    int32_t interfaceReferences = 0;       // on the HostInterface, beyond the host's own
    int32_t classInterfaceReferences = 0;  // on all ClassInterfaces together
    int32_t openContexts = 0;              // HostContexts not yet released
    int32_t stringLocks = 0;               // LockString without UnlockString
    int32_t imageLocks = 0;                // ImageLockData without ImageUnlockData

    int32_t Objects(ObjectClass c) const { return objects[static_cast<int>(c)]; }
    int32_t References(ObjectClass c) const { return references[static_cast<int>(c)]; }
    std::string Describe() const;
    bool operator==(const AuditSnapshot& other) const;
    bool operator!=(const AuditSnapshot& other) const { return !(*this == other); }
};
std::ostream& operator<<(std::ostream& out, const AuditSnapshot& snapshot);

// ---- The host ---------------------------------------------------------------------------

class StandInHost {
  public:
    explicit StandInHost(uint32_t version = kDefaultHostVersion);
    ~StandInHost();
    StandInHost(const StandInHost&) = delete;
    StandInHost& operator=(const StandInHost&) = delete;

    // The interface object to hand to DMPlugIn_Link_2. The host keeps its own reference;
    // the pointer stays valid for the host's lifetime.
    HostInterface* Interface();
    // A new context carrying one reference (as GetContext), for callers that drive the
    // tables directly. Release it through its table.
    HostContext* NewContext();
    // The class interface for a host class name, carrying one reference (as GetClass);
    // null for a name the host does not know.
    ClassInterface* NewClassInterface(std::string_view className);

    void SetVersion(uint32_t version);
    uint32_t Version() const;

    // -- Making objects (each result owns one reference) --
    ObjectRef MakeImage(const ImageSpec& spec);  // throws std::invalid_argument on a bad spec
    ObjectRef MakeString(std::string_view text);
    ObjectRef MakeTagGroup(const std::vector<TagValue>& members);
    ObjectRef MakeTagList(const std::vector<TagValue>& items);
    // A throwable as MakeThrowable would make it. For 28802/28803 `detail` is the address
    // of a message text (copied now).
    ObjectRef MakeThrowable(int32_t code, DM_ErrorDetail detail);

    // -- Reading objects back (borrowed arguments) --
    // kWithoutValues leaves `values` empty, for a caller that needs only the layout,
    // calibration and tags of what may be a large image.
    enum class ImageValues { kWithValues, kWithoutValues };
    ImageSnapshot ReadImage(DM_Object image, ImageValues values = ImageValues::kWithValues) const;
    std::string ReadText(DM_Object string) const;
    TagValue ReadTags(DM_Object tagGroup) const;
    std::string ThrowableMessage(DM_Object throwable) const;
    int32_t ThrowableCode(DM_Object throwable) const;
    ObjectClass ClassOf(DM_Object object) const;
    bool IsLive(DM_Object object) const;
    // References held on the object outside the host (by the module, tests, scripts).
    int32_t ReferenceCount(DM_Object object) const;
    int32_t LockCount(DM_Object image) const;

    // -- Host-side output --
    const std::string& ResultsText() const;  // everything Result() appended, unchanged
    void ClearResults();
    const std::vector<Alert>& Alerts() const;
    void ClearAlerts();

    // -- The pending exception (one per host, shared by all contexts) --
    bool HasPendingException() const;
    std::string PendingExceptionMessage() const;  // empty when none
    int32_t PendingExceptionCode() const;         // 0 when none
    DM_Object PendingException() const;           // borrowed; null when none
    void ClearPendingException();

    // -- What the module did --
    std::vector<InstalledFunction> InstalledFunctions() const;  // in installation order
    std::vector<std::string> UninstalledSignatures() const;     // in uninstall order
    std::vector<std::string> RegisteredClasses() const;
    std::vector<std::string> ClassMethods(std::string_view className) const;
    const std::vector<std::string>& CallLog() const;  // host function names, in call order
    int32_t CallCount(std::string_view functionName) const;
    void ClearCallLog();
    // The calibrated-origin argument of the last ImageSetDimensionCalibration and
    // ImageGetDimensionCalibration call; empty before the first.
    std::optional<int32_t> LastSetCalibrationFormat() const;
    std::optional<int32_t> LastGetCalibrationFormat() const;

    // -- Calling the module's script functions, as a script would --
    // Calls the installed flags-3 function named `name` with `args` in declaration order.
    // The pending exception is cleared first and taken (into the result) afterwards.
    // Throws std::invalid_argument when no such function is installed, when its shape is
    // not one the host can call, or when `args` do not fit its parameters.
    ScriptResult CallScriptFunction(std::string_view name, const std::vector<ScriptValue>& args);
    // Calls method `methodName` of a registered script class (a flags-4 function) with
    // (context, null, cells); `cells` holds the result cell, then the arguments.
    ScriptResult CallClassMethod(std::string_view className, std::string_view methodName,
                                 std::vector<ArgumentCell> cells);

    // -- Audit --
    AuditSnapshot Audit() const;
    // Misuse the host noticed (release of an unknown or dead object, more releases than
    // references, an object passed through the wrong class interface, a released context
    // used, malformed cells). Empty when the module behaved.
    const std::vector<std::string>& AuditErrors() const;
    void ClearAuditErrors();

    // -- Fault injection --
    // The next `times` calls of the host function with this signature answer status 3 (with
    // a pending throwable "The function handle is no longer valid."); each handle that
    // answered 3 stays stale, and LookUpFunction then hands out a fresh one.
    void MakeFunctionStale(std::string_view signature, int32_t times = 1);
    // The next call of the host function named `functionName` fails (status 1) with a
    // pending throwable of `code` whose message is `message`.
    void FailNextCall(std::string_view functionName, int32_t code, std::string message);
    // The next ImageLockData answers null (a refused lock).
    void RefuseNextLock();
    // ImageGetLockedData reports `count` dimensions for this image (for example 6).
    void ReportDimensionCount(DM_Object image, uint32_t count);
    // The image becomes invalid once ImageGetLockedData has next handed out its data (the
    // lock is then granted and its layout read). An invalid image's locks are dropped by
    // the host, its data stays readable through ReadImage, and every host function but
    // ImageIsValid refuses it.
    void InvalidateWhenLocked(DM_Object image);
    // The image becomes invalid now, as above.
    void InvalidateImage(DM_Object image);

    // Internal: the implementation behind the tables. Not part of the test API.
    HostState& state() { return *fState; }
    const HostState& state() const { return *fState; }

  private:
    std::unique_ptr<HostState> fState;
};

}  // namespace dmhost

#endif  // XRAY_HOST_STANDINHOST_H
