// Authorization Services as the program uses them: an authorization is
// created, a tool is run with administrator rights under it, and the
// authorization is freed.
//
// Running a tool with administrator rights goes through pkexec where it is
// installed, else through sudo. The tool inherits this process's terminal and
// the few environment variables it needs to run on the same host and show its
// window on the same display; the call returns when the tool has ended.
#pragma once

#include "platform/MacTypes.h"

#include <cstddef>
#include <cstdio>

typedef struct OpaqueAuthorizationRef* AuthorizationRef;
typedef UInt32 AuthorizationFlags;

enum : AuthorizationFlags {
    kAuthorizationFlagDefaults = 0,
    kAuthorizationFlagInteractionAllowed = 1u << 0,
    kAuthorizationFlagExtendRights = 1u << 1,
    kAuthorizationFlagPartialRights = 1u << 2,
    kAuthorizationFlagDestroyRights = 1u << 3,
    kAuthorizationFlagPreAuthorize = 1u << 4,
};

struct AuthorizationItem {
    const char* name;
    size_t valueLength;
    void* value;
    UInt32 flags;
};

struct AuthorizationItemSet {
    UInt32 count;
    AuthorizationItem* items;
};
typedef AuthorizationItemSet AuthorizationRights;
typedef AuthorizationItemSet AuthorizationEnvironment;

enum : OSStatus {
    errAuthorizationSuccess = 0,
    errAuthorizationInvalidRef = -60002,
    errAuthorizationInvalidPointer = -60004,
    errAuthorizationDenied = -60005,
    errAuthorizationCanceled = -60006,
    errAuthorizationToolExecuteFailure = -60031,
};

// Rights are asked for when a tool is run, so the rights and environment given
// here are not examined.
OSStatus AuthorizationCreate(const AuthorizationRights* rights,
                             const AuthorizationEnvironment* environment, AuthorizationFlags flags,
                             AuthorizationRef* authorization);

// Runs pathToTool with the null-terminated argument list as root and waits for
// it to end. No communications pipe is offered: communicationsPipe must be
// null. Returns 0 once the tool has run (whatever its own exit status),
// errAuthorizationCanceled or errAuthorizationDenied when pkexec reports that
// the user dismissed or failed the authentication, and
// errAuthorizationToolExecuteFailure when neither pkexec nor sudo is
// installed or the launcher cannot be started; those two are also told on
// standard error in one line.
OSStatus AuthorizationExecuteWithPrivileges(AuthorizationRef authorization, const char* pathToTool,
                                            AuthorizationFlags options, char* const* arguments,
                                            FILE** communicationsPipe);

OSStatus AuthorizationFree(AuthorizationRef authorization, AuthorizationFlags flags);
