/*
 * A stand-in for the main station driver: a TEST DOUBLE, never shipped and
 * never installed by the package. Tests load it into a Wine prefix as the
 * kernel service "Brakor" so the Windows build of the host layer talks to a
 * real device, \\.\Brakor, through real DeviceIoControl calls with each
 * control code's own transfer method.
 *
 * It answers the seven control codes as the emulated host's station drivers
 * (v7-stationd) do: one station, "Station1", with its current user while it
 * is on; the loaded-driver list with the five drivers' device numbers and
 * versions; turn on; turn off; broadcast, accepted only while the station is
 * on. The last broadcast text is written to the service key as the REG_BINARY
 * value "LastMessage" (the bytes before the terminator), where a test reads it
 * back.
 *
 * Fault modes come from the REG_SZ value "Faults" of the service key
 * (HKLM\System\CurrentControlSet\Services\Brakor), read again at every
 * request, so a test changes them without restarting the driver. Words,
 * separated by blanks or commas:
 *   refuse-on        turn-on calls fail
 *   refuse-off       turn-off calls fail
 *   refuse-message   broadcasts fail
 *   without:NAME     the driver NAME (Brakor, Quorel, Tilvex, Dunvek, Vflatd)
 *                    is left out of the loaded list; may be repeated
 *   pend             every request is left pending until it is cancelled
 *   hang             every request is left pending and ignores a cancel: it
 *                    ends only when its file is closed or the driver stops
 *   short            every successful reply carries only half its record
 * and what it reports, as the emulated drivers' switches of the same names:
 *   station:NAME     the station's name instead of "Station1"
 *   user:NAME        the user reported while the station is on, instead of
 *                    the one it was turned on with
 *   version:NAME=MAJOR.MINOR  the loaded version reported for driver NAME
 * Names are at most 31 bytes of UTF-8 and hold no blank or comma; keywords
 * compare without regard to case, names keep theirs. A value of more than
 * 511 characters is not read: the driver then runs without faults.
 *
 * Only Wine loads it. Wine hands a driver copies of the caller's buffers in
 * its driver host process, so the buffers of METHOD_NEITHER are used without
 * the probing a driver for a real kernel would need.
 */
#include <ddk/wdm.h>

/* Pool tag "BtSn" as it reads in a memory dump. */
#define STANDIN_TAG ((ULONG)0x6E537442u)

#define CODE_TURN_STATION_ON 0x220802u
#define CODE_GET_FIRST_STATION 0x220803u
#define CODE_GET_NEXT_STATION 0x220804u
#define CODE_GET_FIRST_DRIVER 0x22080Au
#define CODE_GET_NEXT_DRIVER 0x22080Bu
#define CODE_TURN_STATION_OFF 0x22080Cu
#define CODE_BROADCAST_MESSAGE 0x22080Du

#define STATION_RECORD_SIZE 68u
#define STATION_NAME_OFFSET 0u
#define STATION_USER_OFFSET 32u
#define STATION_TEXT_FIELD 32u /* NUL-terminated, at most 31 bytes */

#define DRIVER_RECORD_SIZE 80u
#define DRIVER_DEVICE_NUMBER_OFFSET 6u
#define DRIVER_MAJOR_OFFSET 8u
#define DRIVER_MINOR_OFFSET 9u
#define DRIVER_NAME_OFFSET 12u
#define DRIVER_NAME_SIZE 8u

#define BROADCAST_SIZE 256u
#define MAX_RECORD_SIZE BROADCAST_SIZE

#define DRIVER_COUNT 5

/* The loaded drivers, in the order they are reported. */
static const struct {
    const char *Name;
    USHORT DeviceNumber;
    UCHAR Major;
    UCHAR Minor;
} g_drivers[DRIVER_COUNT] = {
    {"Brakor", 0x3AE3, 2, 30}, {"Quorel", 0x3AE4, 2, 30}, {"Tilvex", 0x3AE5, 2, 30},
    {"Dunvek", 0x000D, 2, 30}, {"Vflatd", 0x011F, 4, 0},
};


typedef struct {
    char StationName[STATION_TEXT_FIELD];
    char CurrentUser[STATION_TEXT_FIELD]; /* empty: the one turned on with */
    UCHAR Version[DRIVER_COUNT][2];
    BOOLEAN RefuseOn;
    BOOLEAN RefuseOff;
    BOOLEAN RefuseMessage;
    BOOLEAN Pend;
    BOOLEAN Hang;
    BOOLEAN ShortReply;
    BOOLEAN Without[DRIVER_COUNT];
} FAULTS;

/* The station's state; g_stateLock serialises the requests that read or change it. */
static KMUTEX g_stateLock;
static BOOLEAN g_stationOn;
static char g_currentUser[STATION_TEXT_FIELD];

/* Requests left pending by the "pend" and "hang" faults, linked through
   Tail.Overlay.ListEntry and guarded by the cancel spin lock. */
static LIST_ENTRY g_pended;

static UNICODE_STRING g_serviceKey;
static PDEVICE_OBJECT g_device;

DRIVER_INITIALIZE DriverEntry;

static void CopyBytes(UCHAR *to, const UCHAR *from, ULONG n) {
    ULONG i;
    for (i = 0; i < n; ++i) to[i] = from[i];
}

static void ZeroBytes(UCHAR *to, ULONG n) {
    ULONG i;
    for (i = 0; i < n; ++i) to[i] = 0;
}

static char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? (char)(c - 'A' + 'a') : c; }

/* Compares n bytes of a with the NUL-terminated b, ignoring ASCII case. */
static BOOLEAN WordIs(const char *a, ULONG n, const char *b) {
    ULONG i;
    for (i = 0; i < n; ++i)
        if (b[i] == 0 || LowerAscii(a[i]) != LowerAscii(b[i])) return FALSE;
    return b[n] == 0;
}

/* The length of a text field's content: up to its terminator, at most
   size - 1 bytes, without a trailing partial UTF-8 sequence. */
static ULONG FieldLength(const UCHAR *field, ULONG size) {
    ULONG end = 0, lead, need;
    UCHAR first;
    while (end < size - 1 && field[end] != 0) ++end;
    lead = end;
    while (lead > 0 && (field[lead - 1] & 0xC0) == 0x80) --lead;
    if (lead == 0) return end;
    first = field[lead - 1];
    need = first >= 0xF0 ? 4 : first >= 0xE0 ? 3 : first >= 0xC0 ? 2 : 1;
    return end - (lead - 1) < need ? lead - 1 : end;
}

static NTSTATUS OpenServiceKey(ACCESS_MASK access, HANDLE *key) {
    OBJECT_ATTRIBUTES attributes;
    InitializeObjectAttributes(&attributes, &g_serviceKey, OBJ_CASE_INSENSITIVE | OBJ_KERNEL_HANDLE, NULL, NULL);
    return ZwOpenKey(key, access, &attributes);
}

/* Copies n bytes as a NUL-terminated field text; FALSE when they do not fit. */
static BOOLEAN TakeName(char *field, const char *text, ULONG n) {
    if (n == 0 || n >= STATION_TEXT_FIELD) return FALSE;
    ZeroBytes((UCHAR *)field, STATION_TEXT_FIELD);
    CopyBytes((UCHAR *)field, (const UCHAR *)text, n);
    return TRUE;
}

/* A decimal number from 0 to 255 in text[0..n). */
static BOOLEAN TakeByte(const char *text, ULONG n, UCHAR *value) {
    ULONG i, number = 0;
    if (n == 0 || n > 3) return FALSE;
    for (i = 0; i < n; ++i) {
        if (text[i] < '0' || text[i] > '9') return FALSE;
        number = number * 10 + (ULONG)(text[i] - '0');
    }
    if (number > 255) return FALSE;
    *value = (UCHAR)number;
    return TRUE;
}

/* "NAME=MAJOR.MINOR" for one of the drivers. */
static void TakeVersion(FAULTS *faults, const char *text, ULONG n) {
    ULONG equals = 0, dot;
    UCHAR major, minor;
    int i;
    while (equals < n && text[equals] != '=') ++equals;
    dot = equals + 1;
    while (dot < n && text[dot] != '.') ++dot;
    if (equals >= n || dot >= n) return;
    if (!TakeByte(text + equals + 1, dot - equals - 1, &major) || !TakeByte(text + dot + 1, n - dot - 1, &minor))
        return;
    for (i = 0; i < DRIVER_COUNT; ++i) {
        if (WordIs(text, equals, g_drivers[i].Name)) {
            faults->Version[i][0] = major;
            faults->Version[i][1] = minor;
        }
    }
}

/* Whether word[0..n) starts with the keyword prefix; *rest is what follows. */
static BOOLEAN HasPrefix(const char *word, ULONG n, const char *prefix, ULONG *rest) {
    ULONG length = 0;
    while (prefix[length]) ++length;
    if (n <= length || !WordIs(word, length, prefix)) return FALSE;
    *rest = length;
    return TRUE;
}

static void ApplyFaultWord(FAULTS *faults, const char *word, ULONG n) {
    ULONG prefix;
    int i;
    if (WordIs(word, n, "refuse-on")) faults->RefuseOn = TRUE;
    else if (WordIs(word, n, "refuse-off")) faults->RefuseOff = TRUE;
    else if (WordIs(word, n, "refuse-message")) faults->RefuseMessage = TRUE;
    else if (WordIs(word, n, "pend")) faults->Pend = TRUE;
    else if (WordIs(word, n, "hang")) faults->Hang = TRUE;
    else if (WordIs(word, n, "short")) faults->ShortReply = TRUE;
    else if (HasPrefix(word, n, "without:", &prefix)) {
        for (i = 0; i < DRIVER_COUNT; ++i)
            if (WordIs(word + prefix, n - prefix, g_drivers[i].Name)) faults->Without[i] = TRUE;
    } else if (HasPrefix(word, n, "station:", &prefix))
        TakeName(faults->StationName, word + prefix, n - prefix);
    else if (HasPrefix(word, n, "user:", &prefix))
        TakeName(faults->CurrentUser, word + prefix, n - prefix);
    else if (HasPrefix(word, n, "version:", &prefix))
        TakeVersion(faults, word + prefix, n - prefix);
}

/* UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD. Returns the bytes
   written, stopping at a NUL or before a character that would not fit. */
static ULONG ToUtf8(const WCHAR *wide, ULONG units, char *text, ULONG size) {
    ULONG i, n = 0;
    for (i = 0; i < units && wide[i] != 0; ++i) {
        ULONG c = wide[i], bytes;
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < units && wide[i + 1] >= 0xDC00 && wide[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (wide[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        bytes = c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
        if (n + bytes > size) break;
        if (bytes == 1) {
            text[n++] = (char)c;
        } else if (bytes == 2) {
            text[n++] = (char)(0xC0 | (c >> 6));
            text[n++] = (char)(0x80 | (c & 0x3F));
        } else if (bytes == 3) {
            text[n++] = (char)(0xE0 | (c >> 12));
            text[n++] = (char)(0x80 | ((c >> 6) & 0x3F));
            text[n++] = (char)(0x80 | (c & 0x3F));
        } else {
            text[n++] = (char)(0xF0 | (c >> 18));
            text[n++] = (char)(0x80 | ((c >> 12) & 0x3F));
            text[n++] = (char)(0x80 | ((c >> 6) & 0x3F));
            text[n++] = (char)(0x80 | (c & 0x3F));
        }
    }
    return n;
}

/* Reads the "Faults" value; a missing, unreadable or overlong value means no faults. */
static void ReadFaults(FAULTS *faults) {
    UCHAR storage[sizeof(KEY_VALUE_PARTIAL_INFORMATION) + 1024];
    KEY_VALUE_PARTIAL_INFORMATION *info = (KEY_VALUE_PARTIAL_INFORMATION *)storage;
    UNICODE_STRING name;
    HANDLE key;
    ULONG size = 0, count, i, start;
    char text[1024];
    NTSTATUS status;

    RtlZeroMemory(faults, sizeof *faults);
    TakeName(faults->StationName, "Station1", 8);
    for (i = 0; i < DRIVER_COUNT; ++i) {
        faults->Version[i][0] = g_drivers[i].Major;
        faults->Version[i][1] = g_drivers[i].Minor;
    }
    if (!NT_SUCCESS(OpenServiceKey(KEY_READ, &key))) return;
    RtlInitUnicodeString(&name, L"Faults");
    status = ZwQueryValueKey(key, &name, KeyValuePartialInformation, info, sizeof storage, &size);
    ZwClose(key);
    if (!NT_SUCCESS(status) || info->Type != REG_SZ) return;

    count = ToUtf8((const WCHAR *)info->Data, info->DataLength / sizeof(WCHAR), text, sizeof text);
    start = 0;
    for (i = 0; i <= count; ++i) {
        if (i == count || text[i] == ' ' || text[i] == ',' || text[i] == '\t' || text[i] == 0) {
            if (i > start) ApplyFaultWord(faults, text + start, i - start);
            start = i + 1;
            if (i < count && text[i] == 0) break;
        }
    }
}

/* Keeps the broadcast text where a test can read it back. */
static void StoreMessage(const UCHAR *buffer) {
    UNICODE_STRING name;
    HANDLE key;
    ULONG length = 0;
    while (length < BROADCAST_SIZE && buffer[length] != 0) ++length;
    if (!NT_SUCCESS(OpenServiceKey(KEY_SET_VALUE, &key))) return;
    RtlInitUnicodeString(&name, L"LastMessage");
    ZwSetValueKey(key, &name, 0, REG_BINARY, (PVOID)buffer, length);
    ZwClose(key);
}

static void PutText(UCHAR *record, ULONG offset, const char *text) {
    ULONG i;
    for (i = 0; i < STATION_TEXT_FIELD - 1 && text[i]; ++i) record[offset + i] = (UCHAR)text[i];
}

/* A copy of a driver's descriptor block: next-block link, system version,
   device number, version, flags, the 8-byte blank-padded upper-case name. */
static void PutDriverRecord(UCHAR *record, const FAULTS *faults, int index) {
    ULONG i;
    const char *name = g_drivers[index].Name;
    ZeroBytes(record, DRIVER_RECORD_SIZE);
    record[4] = 0x00; /* system version 4.0 */
    record[5] = 0x04;
    record[DRIVER_DEVICE_NUMBER_OFFSET] = (UCHAR)(g_drivers[index].DeviceNumber & 0xFF);
    record[DRIVER_DEVICE_NUMBER_OFFSET + 1] = (UCHAR)(g_drivers[index].DeviceNumber >> 8);
    record[DRIVER_MAJOR_OFFSET] = faults->Version[index][0];
    record[DRIVER_MINOR_OFFSET] = faults->Version[index][1];
    for (i = 0; i < DRIVER_NAME_SIZE; ++i) record[DRIVER_NAME_OFFSET + i] = ' ';
    for (i = 0; i < DRIVER_NAME_SIZE && name[i]; ++i) {
        char c = name[i];
        record[DRIVER_NAME_OFFSET + i] = (UCHAR)((c >= 'a' && c <= 'z') ? c - 'a' + 'A' : c);
    }
}

/* The first loaded driver at or after index, or DRIVER_COUNT. */
static int NextLoaded(const FAULTS *faults, int index) {
    while (index < DRIVER_COUNT && faults->Without[index]) ++index;
    return index;
}

static ULONG RecordSize(ULONG code) {
    switch (code) {
    case CODE_TURN_STATION_ON:
    case CODE_GET_FIRST_STATION:
    case CODE_GET_NEXT_STATION:
    case CODE_TURN_STATION_OFF:
        return STATION_RECORD_SIZE;
    case CODE_GET_FIRST_DRIVER:
    case CODE_GET_NEXT_DRIVER:
        return DRIVER_RECORD_SIZE;
    case CODE_BROADCAST_MESSAGE:
        return BROADCAST_SIZE;
    default:
        return 0;
    }
}

/* Answers one request: the record in (size bytes) gives the reply in out.
   FALSE is the driver's "no". Runs under g_stateLock. */
static BOOLEAN Answer(ULONG code, const FAULTS *faults, const UCHAR *in, UCHAR *out, ULONG size) {
    int index;
    USHORT number;
    switch (code) {
    case CODE_TURN_STATION_ON: {
        ULONG length;
        if (faults->RefuseOn) return FALSE;
        length = FieldLength(in + STATION_USER_OFFSET, STATION_TEXT_FIELD);
        g_stationOn = TRUE;
        ZeroBytes((UCHAR *)g_currentUser, sizeof g_currentUser);
        CopyBytes((UCHAR *)g_currentUser, in + STATION_USER_OFFSET, length);
        CopyBytes(out, in, size);
        return TRUE;
    }
    case CODE_TURN_STATION_OFF:
        if (faults->RefuseOff) return FALSE;
        g_stationOn = FALSE;
        ZeroBytes((UCHAR *)g_currentUser, sizeof g_currentUser);
        CopyBytes(out, in, size);
        return TRUE;
    case CODE_GET_FIRST_STATION:
        ZeroBytes(out, size);
        PutText(out, STATION_NAME_OFFSET, faults->StationName);
        if (g_stationOn) PutText(out, STATION_USER_OFFSET, faults->CurrentUser[0] ? faults->CurrentUser : g_currentUser);
        return TRUE;
    case CODE_GET_NEXT_STATION:
        return FALSE; /* one station: there is never a next one */
    case CODE_GET_FIRST_DRIVER:
        index = NextLoaded(faults, 0);
        if (index >= DRIVER_COUNT) return FALSE;
        PutDriverRecord(out, faults, index);
        return TRUE;
    case CODE_GET_NEXT_DRIVER:
        number = (USHORT)(in[DRIVER_DEVICE_NUMBER_OFFSET] | in[DRIVER_DEVICE_NUMBER_OFFSET + 1] << 8);
        for (index = 0; index < DRIVER_COUNT; ++index)
            if (!faults->Without[index] && g_drivers[index].DeviceNumber == number) break;
        if (index >= DRIVER_COUNT) return FALSE;
        index = NextLoaded(faults, index + 1);
        if (index >= DRIVER_COUNT) return FALSE;
        PutDriverRecord(out, faults, index);
        return TRUE;
    case CODE_BROADCAST_MESSAGE:
        /* Delivered only to a station that is on: otherwise nobody would see it. */
        if (!g_stationOn || faults->RefuseMessage) return FALSE;
        CopyBytes(out, in, size);
        return TRUE;
    default:
        return FALSE;
    }
}

static NTSTATUS Complete(PIRP irp, NTSTATUS status, ULONG_PTR information) {
    irp->IoStatus.Status = status;
    irp->IoStatus.Information = information;
    IoCompleteRequest(irp, IO_NO_INCREMENT);
    return status;
}

static VOID NTAPI CancelPended(PDEVICE_OBJECT device, PIRP irp) {
    (void)device;
    RemoveEntryList(&irp->Tail.Overlay.ListEntry);
    IoReleaseCancelSpinLock(irp->CancelIrql);
    Complete(irp, STATUS_CANCELLED, 0);
}

/* A request that hangs has a cancel routine that does nothing. */
static VOID NTAPI IgnoreCancel(PDEVICE_OBJECT device, PIRP irp) {
    (void)device;
    IoReleaseCancelSpinLock(irp->CancelIrql);
}

static NTSTATUS Pend(PIRP irp, BOOLEAN cancellable) {
    KIRQL irql;
    IoMarkIrpPending(irp);
    IoAcquireCancelSpinLock(&irql);
    if (cancellable && irp->Cancel) {
        IoReleaseCancelSpinLock(irql);
        Complete(irp, STATUS_CANCELLED, 0);
        return STATUS_PENDING;
    }
    irp->Tail.Overlay.DriverContext[0] = cancellable ? NULL : irp;
    IoSetCancelRoutine(irp, cancellable ? CancelPended : IgnoreCancel);
    InsertTailList(&g_pended, &irp->Tail.Overlay.ListEntry);
    IoReleaseCancelSpinLock(irql);
    return STATUS_PENDING;
}

/* Completes the pended requests of one file object, or all of them (file NULL). */
static void CancelAllPended(PFILE_OBJECT file) {
    LIST_ENTRY done;
    LIST_ENTRY *entry, *next;
    KIRQL irql;
    InitializeListHead(&done);
    IoAcquireCancelSpinLock(&irql);
    for (entry = g_pended.Flink; entry != &g_pended; entry = next) {
        PIRP irp = CONTAINING_RECORD(entry, IRP, Tail.Overlay.ListEntry);
        next = entry->Flink;
        if (file && IoGetCurrentIrpStackLocation(irp)->FileObject != file) continue;
        /* A cancellable request whose cancel routine was called is completed
           by it; one that hangs was left in the list by its own. */
        if (IoSetCancelRoutine(irp, NULL) == NULL && irp->Tail.Overlay.DriverContext[0] != irp) continue;
        RemoveEntryList(entry);
        InsertTailList(&done, entry);
    }
    IoReleaseCancelSpinLock(irql);
    while (!IsListEmpty(&done)) {
        entry = RemoveHeadList(&done);
        Complete(CONTAINING_RECORD(entry, IRP, Tail.Overlay.ListEntry), STATUS_CANCELLED, 0);
    }
}

static NTSTATUS NTAPI DispatchControl(PDEVICE_OBJECT device, PIRP irp) {
    PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
    const ULONG code = stack->Parameters.DeviceIoControl.IoControlCode;
    const ULONG inSize = stack->Parameters.DeviceIoControl.InputBufferLength;
    const ULONG outSize = stack->Parameters.DeviceIoControl.OutputBufferLength;
    const ULONG size = RecordSize(code);
    const UCHAR *in = NULL;
    UCHAR *out = NULL;
    UCHAR request[MAX_RECORD_SIZE];
    UCHAR reply[MAX_RECORD_SIZE];
    FAULTS faults;
    BOOLEAN answered;
    (void)device;

    ReadFaults(&faults);
    if (faults.Pend || faults.Hang) return Pend(irp, !faults.Hang);
    if (size == 0 || inSize != size || outSize < size) return Complete(irp, STATUS_INVALID_PARAMETER, 0);

    /* Each code keeps its own transfer method, as the real driver's codes do. */
    switch (METHOD_FROM_CTL_CODE(code)) {
    case METHOD_BUFFERED:
        in = irp->AssociatedIrp.SystemBuffer;
        out = irp->AssociatedIrp.SystemBuffer;
        break;
    case METHOD_IN_DIRECT:
    case METHOD_OUT_DIRECT:
        in = irp->AssociatedIrp.SystemBuffer;
        out = irp->MdlAddress ? MmGetSystemAddressForMdlSafe(irp->MdlAddress, NormalPagePriority) : NULL;
        break;
    case METHOD_NEITHER:
        in = stack->Parameters.DeviceIoControl.Type3InputBuffer;
        out = irp->UserBuffer;
        break;
    }
    if (!in || !out) return Complete(irp, STATUS_INVALID_PARAMETER, 0);

    /* In and out may be one buffer: the request is copied before any reply is written. */
    CopyBytes(request, in, size);
    ZeroBytes(reply, size);
    KeWaitForSingleObject(&g_stateLock, Executive, KernelMode, FALSE, NULL);
    answered = Answer(code, &faults, request, reply, size);
    KeReleaseMutex(&g_stateLock, FALSE);
    if (!answered) return Complete(irp, STATUS_UNSUCCESSFUL, 0);
    if (code == CODE_BROADCAST_MESSAGE) StoreMessage(request);

    CopyBytes(out, reply, size);
    return Complete(irp, STATUS_SUCCESS, faults.ShortReply ? size / 2 : size);
}

static NTSTATUS NTAPI DispatchOpenClose(PDEVICE_OBJECT device, PIRP irp) {
    (void)device;
    return Complete(irp, STATUS_SUCCESS, 0);
}

static NTSTATUS NTAPI DispatchCleanup(PDEVICE_OBJECT device, PIRP irp) {
    (void)device;
    CancelAllPended(IoGetCurrentIrpStackLocation(irp)->FileObject);
    return Complete(irp, STATUS_SUCCESS, 0);
}

static VOID NTAPI Unload(PDRIVER_OBJECT driver) {
    UNICODE_STRING link;
    (void)driver;
    CancelAllPended(NULL);
    RtlInitUnicodeString(&link, L"\\DosDevices\\Brakor");
    IoDeleteSymbolicLink(&link);
    if (g_device) IoDeleteDevice(g_device);
    if (g_serviceKey.Buffer) ExFreePoolWithTag(g_serviceKey.Buffer, STANDIN_TAG);
}

NTSTATUS NTAPI DriverEntry(PDRIVER_OBJECT driver, PUNICODE_STRING registryPath) {
    UNICODE_STRING deviceName, link;
    NTSTATUS status;

    g_serviceKey.Length = 0;
    g_serviceKey.MaximumLength = registryPath->Length;
    g_serviceKey.Buffer = ExAllocatePoolWithTag(PagedPool, registryPath->Length, STANDIN_TAG);
    if (!g_serviceKey.Buffer) return STATUS_INSUFFICIENT_RESOURCES;
    RtlCopyUnicodeString(&g_serviceKey, registryPath);

    KeInitializeMutex(&g_stateLock, 0);
    InitializeListHead(&g_pended);
    /* Each start begins with the station off, whether or not the image was reloaded. */
    g_stationOn = FALSE;
    ZeroBytes((UCHAR *)g_currentUser, sizeof g_currentUser);
    g_device = NULL;

    RtlInitUnicodeString(&deviceName, L"\\Device\\Brakor");
    status = IoCreateDevice(driver, 0, &deviceName, FILE_DEVICE_UNKNOWN, 0, FALSE, &g_device);
    if (!NT_SUCCESS(status)) {
        ExFreePoolWithTag(g_serviceKey.Buffer, STANDIN_TAG);
        g_serviceKey.Buffer = NULL;
        return status;
    }
    RtlInitUnicodeString(&link, L"\\DosDevices\\Brakor");
    status = IoCreateSymbolicLink(&link, &deviceName);
    if (!NT_SUCCESS(status)) {
        IoDeleteDevice(g_device);
        g_device = NULL;
        ExFreePoolWithTag(g_serviceKey.Buffer, STANDIN_TAG);
        g_serviceKey.Buffer = NULL;
        return status;
    }

    driver->MajorFunction[IRP_MJ_CREATE] = DispatchOpenClose;
    driver->MajorFunction[IRP_MJ_CLOSE] = DispatchOpenClose;
    driver->MajorFunction[IRP_MJ_CLEANUP] = DispatchCleanup;
    driver->MajorFunction[IRP_MJ_DEVICE_CONTROL] = DispatchControl;
    driver->DriverUnload = Unload;
    return STATUS_SUCCESS;
}
