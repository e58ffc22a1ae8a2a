object Form1: TForm1
  Left = 193
  Top = 128
  BorderIcons = [biSystemMenu]
  BorderStyle = bsNone
  Caption = 'セットアップ'
  ClientHeight = 58
  ClientWidth = 172
  Font.Charset = SHIFTJIS_CHARSET
  Font.Color = clWindowText
  Font.Height = -12
  Font.Name = 'ＭＳ Ｐゴシック'
  Font.Style = []
  OldCreateOrder = False
  Position = poDefault
  OnActivate = FormActivate
  OnCreate = FormCreate
  OnDestroy = FormDestroy
  OnPaint = FormPaint
  PixelsPerInch = 96
  TextHeight = 12
end
