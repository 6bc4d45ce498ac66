// The infrared family of the sockets: device addresses, discovery of the devices in range
// and the query of a device's information-access service (IAS).
#pragma once

#include "platform/types.h"

constexpr int AF_IRDA = 22;

// A device's service: the device id and the service's name, either an IAS class name or
// "LSAP-SEL" followed by the decimal selector of the service.
struct SOCKADDR_IRDA {
    WORD irdaAddressFamily;
    BYTE irdaDeviceID[4];
    char irdaServiceName[25];
};
static_assert(sizeof(SOCKADDR_IRDA) == 32);

// Option level and options of getsockopt.
constexpr int SOL_IRLMP = 0xFF;
constexpr int IRLMP_ENUMDEVICES = 0x10;
constexpr int IRLMP_IAS_QUERY = 0x12;

// One device in range. The name need not be terminated when it fills all 22 bytes.
struct IRDA_DEVICE_INFO {
    BYTE irdaDeviceID[4];
    char irdaDeviceName[22];
    BYTE Reserved[2];
};
static_assert(sizeof(IRDA_DEVICE_INFO) == 28);

// IRLMP_ENUMDEVICES fills the count and as many records as the buffer holds behind it.
struct DEVICELIST {
    ULONG numDevice;
    IRDA_DEVICE_INFO Device[1];
};

constexpr int IAS_MAX_CLASSNAME = 61;
constexpr int IAS_MAX_ATTRIBNAME = 61;
constexpr int IAS_MAX_OCTET_STRING = 1024;
constexpr int IAS_MAX_USER_STRING = 256;

// Attribute types of a query's answer.
constexpr WORD IAS_ATTRIB_NO_ATTRIB = 0x00;
constexpr WORD IAS_ATTRIB_INT = 0x01;
constexpr WORD IAS_ATTRIB_OCTETSEQ = 0x02;
constexpr WORD IAS_ATTRIB_STR = 0x03;
constexpr WORD IAS_ATTRIB_NO_CLASS = 0x10;

// IRLMP_IAS_QUERY: the caller fills the device id, the class and the attribute name
// (terminated); the answer is the attribute's type and value. A class or attribute that
// the device does not have is answered with IAS_ATTRIB_NO_CLASS or IAS_ATTRIB_NO_ATTRIB.
struct IAS_QUERY {
    BYTE irdaDeviceID[4];
    char irdaClassName[IAS_MAX_CLASSNAME];
    char irdaAttribName[IAS_MAX_ATTRIBNAME];
    WORD irdaAttribType;
    union {
        LONG irdaAttribInt;
        struct {
            LONG Len;
            BYTE OctetSeq[IAS_MAX_OCTET_STRING];
            BYTE Reserved[2];
        } irdaAttribOctetSeq;
        struct {
            LONG Len;
            ULONG CharSet;
            BYTE UsrStr[IAS_MAX_USER_STRING];
        } irdaAttribUsrStr;
    } irdaAttribute;
};
