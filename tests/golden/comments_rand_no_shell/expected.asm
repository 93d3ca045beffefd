;program demo;
;Programmed with Trovik.exe V1.5
.NOLIST
#define end .end
#define END .end
#define equ .equ
#define EQU .equ
#define	dice 33381d
#include "ti83asm.inc"
#include "tokens.inc"
.LIST
	.org 9327h
;// no shell named: the random routine is not there
