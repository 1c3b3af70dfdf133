#include "shared/SetValueRequest.h"

SetValueRequest& setValueRequest()
{
    static SetValueRequest block;
    return block;
}
