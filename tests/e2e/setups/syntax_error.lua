function ZRBSE_BeforeInit(
