/*
 * Kelvane_Ravo_Q9T2 - communication library for the six-axis stepper-motor controller.
 *
 * Flat C interface over one serial line (19200 baud, 8N1):
 *   - Ravo_*   : 16-byte command frames with an 8-bit sum, one request and one reply each;
 *   - program download: records handed over with Ravo_SetUserProgram, sent by Ravo_DownLoadProgram;
 *   - Modbus_* : Modbus RTU coil and register access on the same line.
 *
 * Every controller command returns 0 whatever happened on the line; a failed exchange shows
 * only as zero results. Scalar arguments are reduced by the export itself where the command
 * defines a byte or a 16-bit field (an address of 300 is sent as 44).
 *
 * Call Ravo_GlobalInit once before anything else. Opening and closing ports must not run
 * while another thread exchanges frames.
 */
#ifndef KELVANE_RAVO_Q9T2_H
#define KELVANE_RAVO_Q9T2_H

#if defined(_WIN32)
#  if defined(KELVANE_RAVO_BUILD)
#    define RAVO_API __declspec(dllexport)
#  else
#    define RAVO_API __declspec(dllimport)
#  endif
#else
#  define RAVO_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Library lock */
RAVO_API int Ravo_GlobalInit(void);
RAVO_API int Ravo_GlobalRelease(void);

/* Command port: 0 opened, 2 the device did not open */
RAVO_API int Ravo_OpenSericalPort(int portNumber);
RAVO_API void Ravo_CloseSericalPort(void);

/* Controller */
RAVO_API int Ravo_GetControllerVersion(int addr, int *version);
RAVO_API int Ravo_SetWorkMode(int addr, int mode, int argument);
RAVO_API int Ravo_GetWorkMode(int addr, int *mode);
RAVO_API int Ravo_SetControllerAddr(int addr, int newAddr);
RAVO_API int Ravo_GetControllerAddr(unsigned char *addr);
RAVO_API int Ravo_PauseController(int addr);
RAVO_API int Ravo_ContinueController(int addr);
RAVO_API int Ravo_Beeper(int addr, int value);

/* Inputs and outputs: inputs are pins 1..24, outputs OUT1..OUT12 are pins 33..44 */
RAVO_API int Ravo_SetIOPinLevel(int addr, int pin, int level);
RAVO_API int Ravo_GetIOPinLevel(int addr, int pin, unsigned char *level);
RAVO_API int Ravo_GetAllIOPinLevel(int addr, int firstPin, int *bits);
RAVO_API int SetMotorLimitSignal(int addr, int axisMask, int negative, int positive);

/* Encoders and analogue inputs */
RAVO_API int Ravo_SetEncodeLineNum(int addr, int encoder, int lines, float ratio);
RAVO_API int Ravo_SetEncodeMode(int addr, int encoder, int mode);
RAVO_API int Ravo_SetADWorlMode(int addr, int channel, int mode);
RAVO_API int Ravo_SetADValueScale(int addr, int channel, float min, float max);
RAVO_API float Ravo_ReadADValue(int addr, int channel);

/* Motor parameters; the axis is a one-bit mask: axis n (1..8) is 1 << (n - 1) */
RAVO_API int Ravo_SetMotorDriveDiv(int addr, int axisMask, int value);
RAVO_API int Ravo_GetMotorDriveDiv(int addr, int axisMask, int *value);
RAVO_API int Ravo_SetMotorPitch(int addr, int axisMask, float value);
RAVO_API int Ravo_GetMotorPitch(int addr, int axisMask, float *value);
RAVO_API int Ravo_SetMotorAcc(int addr, int axisMask, int value);
RAVO_API int Ravo_GetMotorAcc(int addr, int axisMask, int *value);
RAVO_API int Ravo_SetMotorDec(int addr, int axisMask, int value);
RAVO_API int Ravo_GetMotorDec(int addr, int axisMask, int *value);
RAVO_API int Ravo_SetMotorMaxSpeed(int addr, int axisMask, float value);
RAVO_API int Ravo_SetMotorMinSpeed(int addr, int axisMask, float value);
RAVO_API int Ravo_GetMotorCurSpeed(int addr, int axisMask, float *value);
RAVO_API int Ravo_GetMotorPosition(int addr, int axisMask, float *value);

/* Motion */
RAVO_API int Ravo_MotorMove(int addr, int axisMask, float distance);
RAVO_API int Ravo_MotorGoPos(int addr, int axisMask, float position);
RAVO_API int Ravo_QuickStopMotor(int addr, int axisMask);
RAVO_API int Ravo_SlowStopMotor(int addr, int axisMask);
RAVO_API int Ravo_ClearMotorPosition(int addr, int axisMask);
RAVO_API int Ravo_ManualLeftMove(int addr, int axisMask);
RAVO_API int Ravo_ManualRightMove(int addr, int axisMask);
RAVO_API int Ravo_MotorIsRunning(int addr, int axisMask, unsigned char *running);
RAVO_API int Ravo_Line2Move(int addr, int a, int b);
RAVO_API int Ravo_Line2Goto(int addr, int a, int b);
RAVO_API int Ravo_Line2MoveDM(int addr, int a, int b);
RAVO_API int Ravo_Line2GotoDM(int addr, int a, int b);
RAVO_API int Ravo_Line3Move(int addr, int a, int b, int c);
RAVO_API int Ravo_Line3Goto(int addr, int a, int b, int c);
RAVO_API int Ravo_Line3MoveDM(int addr, int a, int b, int c);
RAVO_API int Ravo_Line3GotoDM(int addr, int a, int b, int c);
RAVO_API int Ravo_CircleMoveG2_Pos(int addr, int a, int b, int c);
RAVO_API int Ravo_CircleMoveG3_Pos(int addr, int a, int b, int c);
RAVO_API int Ravo_CircleMoveG2_Angle(int addr, int a, int b, int c);
RAVO_API int Ravo_CircleMoveG3_Angle(int addr, int a, int b, int c);

/* Any command code to address 255; the three values are replaced by the reply fields when a
 * reply came, and kept otherwise. */
RAVO_API int Ravo_CommandRawData(int command, int *p1, int *p2, int *p3);

/* Program download: 0 stored / 5 more than 1500 records (count taken as 16 bits);
 * download: 0 success, 4 end frame not sent, -1 failure at the first record,
 * n failure at record n (n records were accepted). */
RAVO_API int Ravo_SetUserProgram(const unsigned char *records, int count);
RAVO_API int Ravo_DownLoadProgram(int program);

/* Modbus RTU: 0 success; 6 no port for the slave or (reads) no complete reply;
 * open: 0 opened, 2 the device did not open. */
RAVO_API int Modbus_OpenSerical(int port, unsigned char *slave);
RAVO_API int Modbus_CloseSerical(int port);
RAVO_API int Modbus_WriteCoil(int slave, int coil, int value);
RAVO_API int Modbus_ReadCoil(int slave, int coil, unsigned char *state);
RAVO_API int Modbus_WriteShort(int slave, int reg, int value);
RAVO_API int Modbus_ReadShort(int slave, int reg, short *value);
RAVO_API int Modbus_WriteLong(int slave, int reg, int value);
RAVO_API int Modbus_ReadLong(int slave, int reg, int *value);
RAVO_API int Modbus_WriteFloat(int slave, int reg, float value);
RAVO_API int Modbus_ReadFloat(int slave, int reg, float *value);

#ifdef __cplusplus
}
#endif

#endif /* KELVANE_RAVO_Q9T2_H */
