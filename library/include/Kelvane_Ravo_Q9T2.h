/*
 * Kelvane_Ravo_Q9T2 - communication library for the six-axis stepper-motor controller.
 *
 * Flat C interface over one serial line (19200 baud, 8N1):
 *   - Ravo_*   : 16-byte command frames with an 8-bit sum, one request and one reply each;
 *   - program download: records handed over with Ravo_SetUserProgram, sent by Ravo_DownLoadProgram;
 *   - Modbus_* : Modbus RTU coil and register access on the same line.
 *
 * Every controller command returns RAVO_OK whatever happened on the line; a failed exchange
 * (nothing sent, or no complete reply within the time-outs) shows only as zero results: the
 * out-value of a query then holds 0 (0.0 for floats). Scalar arguments are reduced by the
 * export itself where the command defines a byte or a 16-bit field (an address of 300 is sent
 * as 44). Positions, distances and speeds are floats in the controller's own units, sent as
 * their IEEE-754 bit pattern without scaling. The axis of the motor commands is a one-bit mask:
 * axis n (1..8) is 1 << (n - 1), so X = 1, Y = 2, Z = 4, U = 8, V = 16, W = 32.
 *
 * Call Ravo_GlobalInit once before anything else. Opening and closing ports must not run
 * while another thread exchanges frames.
 *
 * The log folder of SericalComInfo.log and Ravo_Debug.log: the folder of the calling program's
 * executable when it holds the data folder KelvaneRavoTools/ and both may be written (a build
 * tree, a portable copy), otherwise $XDG_STATE_HOME/kelvane-ravo (by default
 * ~/.local/state/kelvane-ravo) on Linux, for root as for anyone.
 */
#ifndef KELVANE_RAVO_Q9T2_H
#define KELVANE_RAVO_Q9T2_H

#if defined(_WIN32)
#if defined(KELVANE_RAVO_BUILD)
#define RAVO_API __declspec(dllexport)
#else
#define RAVO_API __declspec(dllimport)
#endif
#else
#define RAVO_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Results. */
enum {
    RAVO_OK = 0,                  /* success; every controller command returns it */
    RAVO_PORT_NOT_OPENED = 2,     /* Ravo_OpenSericalPort, Modbus_OpenSerical: no such device,
                                     in use, or not a serial device */
    RAVO_END_FRAME_NOT_SENT = 4,  /* Ravo_DownLoadProgram: every record accepted, the end frame
                                     could not be sent */
    RAVO_PROGRAM_NOT_STORED = 5,  /* Ravo_SetUserProgram: more than RAVO_MAX_PROGRAM_RECORDS
                                     records, or none to copy from; the store is unchanged */
    RAVO_MODBUS_FAILED = 6,       /* Modbus_*: no port for the slave address, or (reads only)
                                     no complete reply */
    RAVO_FIRST_RECORD_FAILED = -1 /* Ravo_DownLoadProgram: record 0 failed */
};

/* Ravo_DownLoadProgram's result when record `index` (counted from 0) failed: the index itself,
 * which is also the number of records the controller accepted, or RAVO_FIRST_RECORD_FAILED
 * for record 0. A failure at record 4 gives the value of RAVO_END_FRAME_NOT_SENT; the download
 * log (Ravo_Debug.log) tells the two apart. */
#define RAVO_FAILED_AT_RECORD(index) ((int)(index) > 0 ? (int)(index) : (int)RAVO_FIRST_RECORD_FAILED)

/* The most records Ravo_SetUserProgram takes. */
#define RAVO_MAX_PROGRAM_RECORDS 1500

/* The controller address that every attached controller answers, whatever address it is set
 * to (unlike a broadcast address, which gets no reply). */
#define RAVO_ANY_CONTROLLER_ADDRESS 255

/* Work modes of Ravo_SetWorkMode. */
enum {
    RAVO_WORK_MODE_PROGRAMS = 1, /* the user programs' mode: set when the program editor is
                                    shown and after all user programs were downloaded */
    RAVO_WORK_MODE_MANUAL = 2,   /* set before the version query, by the manual operation view
                                    and before factory data; a failed download falls back to it */
    RAVO_WORK_MODE_DOWNLOAD = 3  /* with the program number: program records follow; set by
                                    Ravo_DownLoadProgram itself */
};

/* Library lock */
/* Makes sure the lock that serialises every exchange exists. Sends nothing; RAVO_OK. */
RAVO_API int Ravo_GlobalInit(void);
/* Kept for callers that pair it with Ravo_GlobalInit; the lock stays. Sends nothing; RAVO_OK. */
RAVO_API int Ravo_GlobalRelease(void);

/* Command port */
/* Closes the command port, then opens COM<portNumber> as the command port (19200 baud, 8N1).
 * RAVO_OK or RAVO_PORT_NOT_OPENED. The first successful open of the process starts the traffic
 * log SericalComInfo.log in the log folder. Sends nothing. */
RAVO_API int Ravo_OpenSericalPort(int portNumber);
/* Closes the command port if it is open. Sends nothing. */
RAVO_API void Ravo_CloseSericalPort(void);

/* States of the command port's line, from Ravo_GetLinkState. */
enum {
    RAVO_LINK_OK = 0,       /* the last exchange got its whole reply (or none ran since the open) */
    RAVO_LINK_NO_PORT = 1,  /* no command port is open */
    RAVO_LINK_NO_REPLY = 2, /* the last exchange got no reply or a short one, or was not sent */
    RAVO_LINK_LOST = 3      /* the device hung up or went away (a pulled USB adapter). The port
                               stays lost until it is closed or opened again; exchanges on it
                               fail at once, without waiting out their time-outs */
};
/* What happened on the command port's line: one of RAVO_LINK_*. Covers command exchanges,
 * program downloads and Modbus exchanges on the command port. Sends nothing and does not wait
 * for a running exchange. May be called from any thread at any time, also while another
 * thread exchanges frames or opens, closes or moves the command port. */
RAVO_API int Ravo_GetLinkState(void);

/* Controller (command code in brackets) */
/* [2] The controller's version word: major in bits 8..15, minor in bits 0..7. */
RAVO_API int Ravo_GetControllerVersion(int addr, int* version);
/* [6] Switches the controller to a RAVO_WORK_MODE_* with a byte argument (the program number
 * for RAVO_WORK_MODE_DOWNLOAD, else 0). */
RAVO_API int Ravo_SetWorkMode(int addr, int mode, int argument);
/* [7] The current work mode. */
RAVO_API int Ravo_GetWorkMode(int addr, int* mode);
/* [4] Gives the controller a new address (a byte). */
RAVO_API int Ravo_SetControllerAddr(int addr, int newAddr);
/* [5] The attached controller's address (asked at RAVO_ANY_CONTROLLER_ADDRESS). */
RAVO_API int Ravo_GetControllerAddr(unsigned char* addr);
/* [11] Pause. */
RAVO_API int Ravo_PauseController(int addr);
/* [12] Continue after a pause. */
RAVO_API int Ravo_ContinueController(int addr);
/* [20] The beeper, with a value the controller interprets. */
RAVO_API int Ravo_Beeper(int addr, int value);

/* Inputs and outputs: inputs are pins 1..24, outputs OUT1..OUT12 are pins 33..44 */
/* [21] Sets a pin (byte) to level 0 or 1 (byte). */
RAVO_API int Ravo_SetIOPinLevel(int addr, int pin, int level);
/* [22] A pin's level: 1 high, 0 low. */
RAVO_API int Ravo_GetIOPinLevel(int addr, int pin, unsigned char* level);
/* [23] The levels of the pins from firstPin (16 bits) on: bit n is pin firstPin + n. */
RAVO_API int Ravo_GetAllIOPinLevel(int addr, int firstPin, int* bits);
/* [24] The two limit inputs of one axis: input numbers, 255 for none. */
RAVO_API int SetMotorLimitSignal(int addr, int axisMask, int negative, int positive);

/* Encoders and analogue inputs */
/* [29] Encoder 1..3 (byte): its line count and its motor/encoder pulse ratio. */
RAVO_API int Ravo_SetEncodeLineNum(int addr, int encoder, int lines, float ratio);
/* [30] Encoder 1..3 (byte): its work mode. */
RAVO_API int Ravo_SetEncodeMode(int addr, int encoder, int mode);
/* [32] Analogue channel 1..2 (byte): its work mode. */
RAVO_API int Ravo_SetADWorlMode(int addr, int channel, int mode);
/* [33] Analogue channel 1..2 (byte): its minimum and maximum value. */
RAVO_API int Ravo_SetADValueScale(int addr, int channel, float min, float max);
/* [34] Asks for an analogue reading; returns 0.0 whatever the reply holds. */
RAVO_API float Ravo_ReadADValue(int addr, int channel);

/* Motor parameters, per axis mask; each Get asks the axis the mask names */
/* [120] / [121] Pulses per motor revolution. */
RAVO_API int Ravo_SetMotorDriveDiv(int addr, int axisMask, int value);
RAVO_API int Ravo_GetMotorDriveDiv(int addr, int axisMask, int* value);
/* [122] / [123] Lead-screw pitch: distance travelled per revolution. */
RAVO_API int Ravo_SetMotorPitch(int addr, int axisMask, float value);
RAVO_API int Ravo_GetMotorPitch(int addr, int axisMask, float* value);
/* [124] / [125] Acceleration coefficient (0..65535). */
RAVO_API int Ravo_SetMotorAcc(int addr, int axisMask, int value);
RAVO_API int Ravo_GetMotorAcc(int addr, int axisMask, int* value);
/* [126] / [127] Deceleration coefficient. */
RAVO_API int Ravo_SetMotorDec(int addr, int axisMask, int value);
RAVO_API int Ravo_GetMotorDec(int addr, int axisMask, int* value);
/* [128] Maximum speed. */
RAVO_API int Ravo_SetMotorMaxSpeed(int addr, int axisMask, float value);
/* [129] Minimum speed (0 = adaptive). */
RAVO_API int Ravo_SetMotorMinSpeed(int addr, int axisMask, float value);
/* [130] Current speed. */
RAVO_API int Ravo_GetMotorCurSpeed(int addr, int axisMask, float* value);
/* [137] Current position. */
RAVO_API int Ravo_GetMotorPosition(int addr, int axisMask, float* value);

/* Motion */
/* [131] Moves by a distance. */
RAVO_API int Ravo_MotorMove(int addr, int axisMask, float distance);
/* [132] Moves to a position. */
RAVO_API int Ravo_MotorGoPos(int addr, int axisMask, float position);
/* [133] Quick stop. */
RAVO_API int Ravo_QuickStopMotor(int addr, int axisMask);
/* [134] Slow stop. */
RAVO_API int Ravo_SlowStopMotor(int addr, int axisMask);
/* [136] Sets the position to 0. */
RAVO_API int Ravo_ClearMotorPosition(int addr, int axisMask);
/* [180] Jogs in the negative direction until stopped. */
RAVO_API int Ravo_ManualLeftMove(int addr, int axisMask);
/* [181] Jogs in the positive direction until stopped. */
RAVO_API int Ravo_ManualRightMove(int addr, int axisMask);
/* [138] 1 while the axis moves, else 0. */
RAVO_API int Ravo_MotorIsRunning(int addr, int axisMask, unsigned char* running);
/* [144] [145] [146] [147] Two- and three-axis lines, relative (Move) or absolute (Goto): the
 * values as given, interpreted by the controller. */
RAVO_API int Ravo_Line2Move(int addr, int a, int b);
RAVO_API int Ravo_Line2Goto(int addr, int a, int b);
/* [148] [149] [150] [151] The same with the numbers of DM data registers (16 bits each) that
 * hold the values. */
RAVO_API int Ravo_Line2MoveDM(int addr, int a, int b);
RAVO_API int Ravo_Line2GotoDM(int addr, int a, int b);
RAVO_API int Ravo_Line3Move(int addr, int a, int b, int c);
RAVO_API int Ravo_Line3Goto(int addr, int a, int b, int c);
RAVO_API int Ravo_Line3MoveDM(int addr, int a, int b, int c);
RAVO_API int Ravo_Line3GotoDM(int addr, int a, int b, int c);
/* [152] [154] G2 and G3 arcs given by a position, [153] [155] by an angle: the values as
 * given, interpreted by the controller. */
RAVO_API int Ravo_CircleMoveG2_Pos(int addr, int a, int b, int c);
RAVO_API int Ravo_CircleMoveG3_Pos(int addr, int a, int b, int c);
RAVO_API int Ravo_CircleMoveG2_Angle(int addr, int a, int b, int c);
RAVO_API int Ravo_CircleMoveG3_Angle(int addr, int a, int b, int c);

/* Sends any command code (a byte) to RAVO_ANY_CONTROLLER_ADDRESS with the three values as its
 * parameters (a null pointer sends 0). After a complete reply the values hold reply fields
 * 1..3; after a failed exchange they keep what the caller put in, so a caller can preset them
 * to tell "no reply". */
RAVO_API int Ravo_CommandRawData(int command, int* p1, int* p2, int* p3);

/* Program download */
/* Copies `count` 16-byte program records (count taken as 16 bits) into the library's store and
 * restarts the download log's line numbers. Sends nothing. RAVO_OK or RAVO_PROGRAM_NOT_STORED. */
RAVO_API int Ravo_SetUserProgram(const unsigned char* records, int count);
/* Sends the stored records into program slot `program` (a byte): RAVO_WORK_MODE_DOWNLOAD, a
 * 2 s pause, each record with its index (modulo 256) in byte 15 and its acknowledgement read,
 * then the end frame AA FF 08 00 ... 00, whose reply is not awaited. Every record frame and
 * reply goes to Ravo_Debug.log in the log folder. RAVO_OK; RAVO_FAILED_AT_RECORD(i) when
 * record i got no complete reply or was refused; RAVO_END_FRAME_NOT_SENT. After a failure the
 * controller is sent RAVO_WORK_MODE_MANUAL. */
RAVO_API int Ravo_DownLoadProgram(int program);
/* Sets the function Ravo_DownLoadProgram calls, on the downloading thread, after each record
 * the controller acknowledged: `record` records of `count` are in (1..count), `user` as given
 * here. A null callback calls nothing. A download in progress keeps the callback it began with.
 * Sends nothing. */
RAVO_API void Ravo_SetDownloadProgress(void (*callback)(int record, int count, void* user), void* user);

/* Traffic monitor: every frame that goes over a port of the library (command frames, program
 * records and the end frame, Modbus requests and replies) and every read, as it happens. */
enum {
    RAVO_TRAFFIC_SENT = 0,    /* direction: bytes written to the port */
    RAVO_TRAFFIC_RECEIVED = 1 /* direction: bytes read from the port */
};
enum {
    RAVO_TRAFFIC_COMPLETE = 0, /* every byte went out, or the whole awaited reply came in */
    RAVO_TRAFFIC_SHORT = 1,    /* fewer bytes than awaited before the time-out: `bytes` holds
                                  what came (trailing zero bytes of a short reply are not told
                                  apart from missing ones) */
    RAVO_TRAFFIC_NOTHING = 2,  /* nothing went out or came in before the time-out */
    RAVO_TRAFFIC_PORT_LOST = 3 /* the device hung up or went away (RAVO_LINK_LOST) */
};
typedef struct RavoTrafficEvent {
    int direction;              /* RAVO_TRAFFIC_SENT or RAVO_TRAFFIC_RECEIVED */
    int port;                   /* the COM port number the frame went over */
    const unsigned char* bytes; /* valid during the call only */
    int count;                  /* number of bytes */
    long long timestampUs;      /* monotonic clock, microseconds, when the transfer ended */
    int outcome;                /* RAVO_TRAFFIC_COMPLETE ... RAVO_TRAFFIC_PORT_LOST */
    int awaited;                /* the number of bytes the transfer was for */
} RavoTrafficEvent;
/* Sets the function called with each transfer of every port, on the exchanging thread while the
 * exchange waits: it must return quickly (copy the event and hand it on) and must not call the
 * library. `user` is passed as given here. A null callback turns the monitor off; without one a
 * frame costs nothing more. When this returns, the previous callback is no longer running and
 * is not called again. Sends nothing. */
RAVO_API void Ravo_SetTrafficMonitor(void (*callback)(const RavoTrafficEvent* event, void* user), void* user);

/* Modbus RTU: function 1 reads a coil, 5 writes one, 4 reads input registers, 16 writes
 * registers. Requests go to the port registered for the slave address (the command port for
 * RAVO_ANY_CONTROLLER_ADDRESS). A 32-bit value spans two registers, the lower-numbered one
 * holding bits 15..0. Writes return RAVO_OK, or RAVO_MODBUS_FAILED for an unknown slave; reads
 * return RAVO_MODBUS_FAILED also without a complete reply and then leave the out-value as it was
 * (Modbus_ReadLong sets it to 0). */
/* Opens COM<port> (a byte) as a further port, asks registers 200..201 at
 * RAVO_ANY_CONTROLLER_ADDRESS for the slave address there (0 when unread) and routes that
 * address and the Ravo_* commands to the new port. RAVO_OK or RAVO_PORT_NOT_OPENED. */
RAVO_API int Modbus_OpenSerical(int port, unsigned char* slave);
/* Closes the port Modbus_OpenSerical opened on COM<port>; RAVO_OK whether or not it was open. */
RAVO_API int Modbus_CloseSerical(int port);
/* Writes a coil: on when value is exactly 1, else off. */
RAVO_API int Modbus_WriteCoil(int slave, int coil, int value);
/* Reads a coil: 1 on, 0 off (the controller answers with 8 bytes). */
RAVO_API int Modbus_ReadCoil(int slave, int coil, unsigned char* state);
/* Writes one 16-bit register. */
RAVO_API int Modbus_WriteShort(int slave, int reg, int value);
/* Reads one register as a signed 16-bit number. */
RAVO_API int Modbus_ReadShort(int slave, int reg, short* value);
/* Writes a 32-bit integer into registers reg, reg + 1. */
RAVO_API int Modbus_WriteLong(int slave, int reg, int value);
/* Reads a 32-bit integer from registers reg, reg + 1. */
RAVO_API int Modbus_ReadLong(int slave, int reg, int* value);
/* Writes a float's bit pattern into registers reg, reg + 1. */
RAVO_API int Modbus_WriteFloat(int slave, int reg, float value);
/* Reads a float's bit pattern from registers reg, reg + 1. */
RAVO_API int Modbus_ReadFloat(int slave, int reg, float* value);

#ifdef __cplusplus
}
#endif

#endif /* KELVANE_RAVO_Q9T2_H */
