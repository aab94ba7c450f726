// ScriptValues.cpp: the scripts' getters and setters called by name.
#include "scenes/common/ScriptValues.h"

#include "sprites/script/ScriptHost.h"

int ScriptValues::getInt(const char* function)
{
    ScriptHost* host = ScriptHost::instance;
    if (!host)
        return 0;
    host->callLuaFunctionWithResult(function);
    return host->popLuaInteger();
}

int ScriptValues::getInt(const char* function, int argument)
{
    ScriptHost* host = ScriptHost::instance;
    if (!host)
        return 0;
    host->callLuaFunctionIntResult(function, argument);
    return host->popLuaInteger();
}

bool ScriptValues::getBool(const char* function)
{
    ScriptHost* host = ScriptHost::instance;
    if (!host)
        return false;
    host->callLuaFunctionWithResult(function);
    return host->popLuaBoolean();
}

void ScriptValues::set(const char* function, int value)
{
    if (ScriptHost* host = ScriptHost::instance)
        host->callLuaFunction(function, value);
}
