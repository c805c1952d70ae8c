/* DMPlugInInterface.h: everything that crosses the module boundary.
 *
 * Included by the module and by the stand-in host; C-compatible. The three interface
 * objects (HostInterface, HostContext, ClassInterface) are structs whose first member
 * points to a table of operations at the host's fixed positions; unused positions are
 * kept as placeholders so that every later position stays where the host has it. Every
 * operation takes the object itself first; the caller removes the arguments (cdecl on
 * 32-bit Windows, spelled once as DM_CDECL).
 *
 * Host objects (images, tag groups, strings, functions, throwables, script classes,
 * script objects) cross the boundary as raw object pointers, DM_Object. A DM_Object a
 * host operation returns carries one reference for the caller; one passed to the host
 * is borrowed.
 *
 * Only fixed-width integers cross the boundary: never `long`, which is 64-bit on Linux
 * and 32-bit on Windows.
 */
#ifndef XRAY_INTERFACE_DMPLUGININTERFACE_H
#define XRAY_INTERFACE_DMPLUGININTERFACE_H

#include <stdint.h>

#if defined(_WIN32) && !defined(_WIN64)
#define DM_CDECL __cdecl
#else
#define DM_CDECL
#endif

#if defined(_WIN32)
#define DM_EXPORT __declspec(dllexport)
#else
#define DM_EXPORT __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef struct DM_OpaqueObject* DM_Object;

/* Any entry point handed to the host; cast to its real shape where it is called. */
typedef void(DM_CDECL* DM_EntryPoint)(void);

/* The detail of an error pair. For codes 28802 and 28803 it is the address of a message
 * text, so it is pointer-sized: 32-bit on the 32-bit target, 64-bit on 64-bit builds. */
typedef intptr_t DM_ErrorDetail;

enum {
    DM_ERROR_MESSAGE = 28802,        /* detail: address of a message text */
    DM_ERROR_PLUGIN_MESSAGE = 28803, /* detail: address of a message text, or 0 */
    DM_ERROR_OUT_OF_MEMORY = 28810   /* detail: 14 */
};

/* Flags of InstallFunction and NewCallbackFunction. */
enum {
    DM_FUNCTION_PLAIN = 3, /* ordinary function, script arguments in declaration order */
    DM_FUNCTION_CELLS = 4  /* (context, ignored, cells): result cell, then arguments */
};

/* Status of HostContext CallFunction. */
enum { DM_CALL_OK = 0, DM_CALL_STALE_FUNCTION = 3 };

/* Host data-type codes used by the plug-in. */
enum { DM_DATA_REAL4 = 2, DM_DATA_REAL8 = 12 };

/* One argument or result of a host script function. A value occupies the start of its
 * cell; the rest stays zero (every cell array starts zeroed). */
typedef union ArgumentCell {
    unsigned char bytes[16];
    int32_t i32;
    uint32_t u32;
    float f32;
    double f64;
    void* pointer;
    DM_Object object;
    const char* text;
} ArgumentCell;

typedef struct HostInterface HostInterface;
typedef struct HostContext HostContext;
typedef struct ClassInterface ClassInterface;

typedef void(DM_CDECL* DM_Unused)(void);

typedef struct HostInterfaceTable {
    void(DM_CDECL* AddReference)(HostInterface*);                                   /* 0 */
    void(DM_CDECL* Release)(HostInterface*);                                        /* 1 */
    uint32_t(DM_CDECL* GetVersion)(HostInterface*);                                 /* 2 */
    HostContext*(DM_CDECL* GetContext)(HostInterface*);                             /* 3 */
    ClassInterface*(DM_CDECL* GetClass)(HostInterface*, int32_t, const char* name); /* 4 */
    DM_Unused unused5;                                                              /* 5 */
    DM_Object(DM_CDECL* InstallFunction)(HostInterface*, int32_t, int32_t, const char* signature,
                                         uint32_t flags, DM_EntryPoint entry);           /* 6 */
    void(DM_CDECL* UninstallFunction)(HostInterface*, DM_Object function);               /* 7 */
    DM_Object(DM_CDECL* LookUpFunction)(HostInterface*, int32_t, const char* signature); /* 8 */
} HostInterfaceTable;

struct HostInterface {
    const HostInterfaceTable* table;
};

typedef struct HostContextTable {
    DM_Unused unused0;                                                                     /* 0 */
    void(DM_CDECL* Release)(HostContext*);                                                 /* 1 */
    DM_Unused unused2;                                                                     /* 2 */
    DM_Unused unused3;                                                                     /* 3 */
    void(DM_CDECL* ClearException)(HostContext*);                                          /* 4 */
    DM_Object(DM_CDECL* MakeThrowable)(HostContext*, int32_t code, DM_ErrorDetail detail); /* 5 */
    DM_Object(DM_CDECL* GetThrowableMessage)(HostContext*, DM_Object throwable);           /* 6 */
    DM_Object(DM_CDECL* TakeException)(HostContext*);                                      /* 7 */
    void(DM_CDECL* SetException)(HostContext*, DM_Object throwable);                       /* 8 */
    DM_Object(DM_CDECL* NewString)(HostContext*, int32_t encoding, const char* chars,
                                   uint32_t count); /* 9 */
    const char*(DM_CDECL* LockString)(HostContext*, DM_Object string, int32_t encoding,
                                      uint32_t* length, uint32_t* token);         /* 10 */
    void(DM_CDECL* UnlockString)(HostContext*, DM_Object string, uint32_t token); /* 11 */
    int32_t(DM_CDECL* CallFunction)(HostContext*, DM_Object function, int32_t cell_count,
                                    ArgumentCell* cells); /* 12 */
} HostContextTable;

struct HostContext {
    const HostContextTable* table;
};

typedef struct ClassInterfaceTable {
    DM_Unused unused0;                                                      /* 0 */
    void(DM_CDECL* ReleaseClass)(ClassInterface*);                          /* 1 */
    DM_Unused unused2;                                                      /* 2 */
    DM_Unused unused3;                                                      /* 3 */
    DM_Unused unused4;                                                      /* 4 */
    DM_Unused unused5;                                                      /* 5 */
    void(DM_CDECL* AddObjectReference)(ClassInterface*, DM_Object);         /* 6 */
    void(DM_CDECL* ReleaseObject)(ClassInterface*, DM_Object);              /* 7 */
    DM_Unused unused8;                                                      /* 8 */
    uint8_t(DM_CDECL* IsValid)(ClassInterface*, DM_Object);                 /* 9 */
    DM_Unused unused10;                                                     /* 10 */
    uint8_t(DM_CDECL* IsSameObject)(ClassInterface*, DM_Object, DM_Object); /* 11 */
} ClassInterfaceTable;

struct ClassInterface {
    const ClassInterfaceTable* table;
};

/* Entry point shape for functions installed with DM_FUNCTION_CELLS. */
typedef void(DM_CDECL* DM_CellsEntryPoint)(HostContext* context, void* ignored,
                                           ArgumentCell* cells);

/* Object creation and destruction entry points of a registered script class. */
typedef void*(DM_CDECL* DM_CreateObjectEntryPoint)(void);
typedef void(DM_CDECL* DM_DestroyObjectEntryPoint)(void* object);

/* The module's exports, as the host finds them by name. */
typedef int32_t(DM_CDECL* DMPlugIn_GetVersion_Function)(void);
typedef void(DM_CDECL* DMPlugIn_Link_2_Function)(HostInterface*);
typedef void(DM_CDECL* PlugIn_Lifecycle_Function)(void);

#ifdef __cplusplus
} /* extern "C" */

static_assert(sizeof(ArgumentCell) == 16, "an argument cell is 16 bytes");
#endif

#endif /* XRAY_INTERFACE_DMPLUGININTERFACE_H */
