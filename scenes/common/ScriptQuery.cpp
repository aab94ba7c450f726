// ScriptQuery.cpp: the story script's answers to the scenes.
#include "scenes/common/ScriptQuery.h"

#include "sprites/script/ScriptHost.h"

bool ScriptQuery::flag(const char* name)
{
    ScriptHost* host = ScriptHost::instance;
    if (!host)
        return false;
    host->callLuaFunctionWithResult(name);
    return host->popLuaBoolean();
}

int ScriptQuery::number(const char* name)
{
    ScriptHost* host = ScriptHost::instance;
    if (!host)
        return 0;
    host->callLuaFunctionWithResult(name);
    return host->popLuaInteger();
}

int ScriptQuery::numberOf(const char* name, int argument)
{
    ScriptHost* host = ScriptHost::instance;
    if (!host)
        return 0;
    host->callLuaFunctionIntResult(name, argument);
    return host->popLuaInteger();
}
