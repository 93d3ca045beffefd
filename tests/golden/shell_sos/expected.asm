;program demo;
;Programmed with Trovik.exe V1.5
.NOLIST
#define end .end
#define END .end
#define equ .equ
#define EQU .equ

#include "sos.inc"
.list
	.org 9327h
	ccf
	jr start_of_program
	.dw	$0000
	.dw	description

start_of_program:
