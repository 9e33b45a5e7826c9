// Calls into the name-space provider library, loaded for each call.
#ifndef ZEVR_PROVIDER_H
#define ZEVR_PROVIDER_H

void CallNameSpaceProvider(const char* exportName);
void InstallNameSpaceProvider();
void RemoveNameSpaceProvider();
void SetNameSpaceOrder();

#endif
