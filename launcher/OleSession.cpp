#include "launcher/OleSession.h"

#include <ole2.h>

OleSession::OleSession() : initialized_(SUCCEEDED(::OleInitialize(nullptr))) {}

OleSession::~OleSession()
{
    if (initialized_)
        ::OleUninitialize();
}
